// The I/O ports, grouped by the device behind them.
#include <gtest/gtest.h>

#include "core/debug_log.h"
#include "machine/bus_rq4800.h"

namespace rq4800 {
namespace {

TEST(Ports, InterruptStatusAndTimers) {
  BusRQ4800 bus;
  bus.ports[0x01] = 0xFF;
  bus.Write(0x01, 0xFF);  // interrupt control, not the status
  EXPECT_EQ(bus.Read(0x01), 0xFF);
  EXPECT_EQ(bus.Read(0x01), 0xC0) << "a read clears bits 0..5";

  bus.timerACounter = 100.75;
  EXPECT_EQ(bus.Read(0x05), 100);
  EXPECT_TRUE(bus.timerARunning);
  EXPECT_EQ(bus.Read(0x04), 100);
  EXPECT_FALSE(bus.timerARunning);
  bus.Write(0x03, 7);
  EXPECT_EQ(bus.Read(0x07), 7);
  EXPECT_TRUE(bus.timerBRunning);
  bus.timerACarry = 0.75;
  bus.Write(0x02, 255);
  EXPECT_EQ(bus.timerACounter, 255.0);
  bus.timerACarry = 8.0;
  bus.Write(0x02, 200);
  bus.Write(0x02, 200);
  EXPECT_EQ(bus.timerACounter, 200.0) << "the carry is taken once";

  bus.timer0Counter = 0x0500;
  bus.Write(0x10, 0x34);  // the low byte alone moves only the reload
  EXPECT_EQ(bus.timer0Counter, 0x0500);
  bus.Write(0x11, 0x12);
  EXPECT_EQ(bus.timer0Counter, 0x1234);
}

int KeySense(BusRQ4800& bus) { return bus.Read(0x0B) & 1; }  // 0 while the probed key is down

TEST(Ports, KeyRowPathProbesWord6ByTheClearedBitOfTheRowSelect) {
  BusRQ4800 bus;
  bus.Write(0x0B, 0xA4);
  bus.Write(0x0F, 0xF0);
  for (int bit = 0; bit < 8; ++bit) {
    bus.Write(0x08, ~(1 << bit) & 0xFF);
    bus.keyWords[6] = 1u << bit;
    EXPECT_EQ(bus.Read(0x0B), 0xA4) << bit;  // bits 1..7 are the latch
    bus.keyWords[6] = ~(1u << bit) & 0xFF;
    EXPECT_EQ(bus.Read(0x0B), 0xA5) << bit;
  }
  bus.keyWords[7] = 1;
  bus.Write(0x08, 0xFF);
  EXPECT_EQ(KeySense(bus), 0);
  bus.keyWords[7] = 0;
  bus.Write(0x08, 0x00);  // any key: word 6 still holds bits
  EXPECT_EQ(KeySense(bus), 0);
  bus.Write(0x08, 0xF3);  // two bits clear probe nothing
  EXPECT_EQ(KeySense(bus), 1);
  bus.Write(0x08, 0x7F);
  bus.Write(0x0F, 0x00);  // row path off
  EXPECT_EQ(KeySense(bus), 1);
}

TEST(Ports, KeyExtraPathAndKeyWordSelection) {
  BusRQ4800 bus;
  bus.keyWords[7] = 0x02;
  bus.Write(0x09, 0xFE);
  EXPECT_EQ(KeySense(bus), 1) << "off until port 0x15 bits 0..1 are set";
  bus.Write(0x15, 0x03);
  EXPECT_EQ(KeySense(bus), 0);
  bus.Write(0x09, 0xFD);
  EXPECT_EQ(KeySense(bus), 1);
  bus.Write(0x09, 0x00);  // low bits clear: either key
  EXPECT_EQ(KeySense(bus), 0);
  bus.Write(0x09, 0x02);
  EXPECT_EQ(KeySense(bus), 1);

  for (int i = 0; i < 6; ++i) bus.keyWords[i] = 0x11u * (i + 1);
  for (int i = 0; i < 6; ++i) {
    bus.Write(0x09, 0x80 >> i);
    EXPECT_EQ(bus.Read(0x08), 0x11 * (i + 1)) << i;
  }
  bus.Write(0x09, 0x84);
  EXPECT_EQ(bus.Read(0x08), 0x66) << "two bits select nothing";
  bus.ResetMachine();  // held keys stay down through a reset
  bus.Write(0x09, 0x80);
  EXPECT_EQ(bus.Read(0x08), 0x11);
}

TEST(Ports, BeeperLevelFollowsPort18OnlyWhileTheGateIsOpen) {
  BusRQ4800 bus;
  bus.Write(0x18, 0x80);
  bus.Write(0x07, 0x80);
  EXPECT_EQ(bus.beeperLevel, 0) << "neither the closed-gate write nor the opening sets a level";
  bus.Write(0x18, 0x80);
  EXPECT_EQ(bus.beeperLevel, 1);
  bus.Write(0x19, 0x80);
  bus.Write(0x18, 0x00);
  EXPECT_EQ(bus.beeperLevel, 1);
  bus.Write(0x19, 0x00);
  bus.Write(0x18, 0x00);
  EXPECT_EQ(bus.beeperLevel, -1);
}

TEST(Ports, SoundStatusFollowsTheRingAndTheCommandWords) {
  BusRQ4800 bus;
  DebugLogCapture log;  // the generator reports its commands
  SampleRing ring;
  bus.AttachRing(&ring);
  ring.read = SampleRing::kCapacity - 100;  // 22,050 samples, wrapped round the end
  ring.write = 22050 - 100;
  EXPECT_EQ(bus.Read(0x20), 0x40);
  ring.write += 1;
  EXPECT_EQ(bus.Read(0x20), 0x70);
  bus.Write(0x22, 0x00);
  bus.Write(0x23, 0x80);  // word 0x8000: busy
  bus.Write(0x20, 0x41);  // not a reset
  EXPECT_EQ(bus.Read(0x20), 0xC0);
  bus.Write(0x20, 0x40);
  EXPECT_EQ(bus.Read(0x20), 0x70);

  bus.Write(0x22, 0x01);
  bus.Write(0x23, 0xD0);  // word 0xD001: the handshake
  for (int expected : {0x5A, 0xFF, 0x00, 0x00}) EXPECT_EQ(bus.Read(0x21), expected);
}

}  // namespace
}  // namespace rq4800
