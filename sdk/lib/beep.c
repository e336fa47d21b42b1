/* A tone on the beeper: the firmware counts the half period in units of 13
** processor cycles (3,686,400 a second) beside 45 cycles of its loop.
*/
#include <rq4800.h>

static struct {
    unsigned delay;
    unsigned halfPeriods;
} tone;

void __fastcall__ rq_beep (unsigned hz, unsigned ms)
{
    unsigned long cycles;
    if (hz < 20 || ms == 0) {
        return;
    }
    cycles = 3686400UL / (2UL * hz);
    tone.delay = cycles > 45 ? (unsigned) ((cycles - 45) / 13) : 0;
    tone.halfPeriods = (unsigned) ((2UL * hz * ms) / 1000UL);
    __asm__ ("lda #<%v", tone);
    __asm__ ("ldx #>%v", tone);
    __asm__ ("jsr $FF1F");
}
