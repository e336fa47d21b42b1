#pragma once
// Rewind: a history of snapshots of the running machine, taken between
// frames (one every 5 frames, a tenth of a second of device time), that the
// user can step back through.
//
//   RewindHistory history;                      // 300 snapshots: 30 s at one per 5 frames
//   after every 5th frame:  history.Push(machine, frame);
//   on the rewind key:      if (auto back = history.StepBack(machine, frame)) frame = *back;
//
// A snapshot is the machine's fields (machine_fields.h) and its RAM, flash
// and ring samples cut into 4 KB pages. A page that equals the same page of
// the snapshot before is kept by reference, not copied: the flash hardly
// ever changes, and between two snapshots the firmware touches a few pages
// of RAM and the sound a few pages of the ring. Pages that leave the history
// are kept in a small pool and refilled, so that once the history is full a
// snapshot allocates nothing.
//
// The history belongs to one machine running one firmware; clear it when
// the firmware changes. A snapshot restores everything that decides the
// future, so stepping back across a reset or a loaded state is sound.
#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "machine/machine_fields.h"

namespace rq4800 {

struct Machine;

struct RewindPage {
  static constexpr size_t kSize = 4096;
  std::array<uint8_t, kSize> bytes;
};

struct RewindSnapshot {
  uint64_t frame = 0;  // the front end's frame number when it was taken
  MachineFields fields;
  std::vector<std::shared_ptr<RewindPage>> ram, flash, ring;  // ring: none without storage
};

struct RewindHistory {
  static constexpr size_t kDefaultCapacity = 300;                 // 30 s at 10 snapshots a second
  static constexpr size_t kDefaultBudget = size_t{48} << 20;      // bytes of pages and records
  static constexpr size_t kPoolLimit = 256;                       // spare pages kept for reuse (1 MB)

  size_t budget;                       // the oldest snapshots go when the pages held pass it
  std::vector<RewindSnapshot> entries;   // a circle of capacity snapshots
  size_t oldest = 0;                   // slot of the oldest snapshot
  size_t count = 0;                    // snapshots held
  size_t livePages = 0;                // distinct pages the snapshots hold
  std::vector<std::shared_ptr<RewindPage>> pool;  // pages no snapshot holds, for reuse

  explicit RewindHistory(size_t capacity = kDefaultCapacity, size_t budget = kDefaultBudget);

  // Takes a snapshot of machine as it stands between frames. Snapshots at
  // or after frame (a future that stepping back abandoned) are dropped
  // first; the oldest go when the history is full or over its budget.
  void Push(const Machine& machine, uint64_t frame);

  // Restores the newest snapshot taken before currentFrame, dropping the
  // ones at or after it, and returns its frame. With none that old, returns
  // nothing and changes neither the machine nor the history.
  std::optional<uint64_t> StepBack(Machine& machine, uint64_t currentFrame);

  void Clear();

  size_t Size() const { return count; }
  std::optional<uint64_t> OldestFrame() const;
  std::optional<uint64_t> NewestFrame() const;
  // Memory the history holds: its pages (including the spare pool) and its
  // snapshot records.
  size_t BytesHeld() const;

  // Internals, public as plain-record fields are.
  RewindSnapshot& Newest() { return entries[(oldest + count - 1) % entries.size()]; }
  const RewindSnapshot& Newest() const { return entries[(oldest + count - 1) % entries.size()]; }
  void DropOldest();
  void DropNewest();
  void Release(std::vector<std::shared_ptr<RewindPage>>& pages);
  size_t PageBytes() const;
};

}  // namespace rq4800
