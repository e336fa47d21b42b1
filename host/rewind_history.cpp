#include "host/rewind_history.h"

#include <algorithm>
#include <cstring>

#include "machine/machine.h"

namespace rq4800 {

namespace {

using PageRef = std::shared_ptr<RewindPage>;
constexpr size_t kPage = RewindPage::kSize;

constexpr size_t PagesFor(size_t bytes) { return (bytes + kPage - 1) / kPage; }

// The bytes of a buffer that page i covers; the last page of the ring is
// only partly used.
size_t PageLength(size_t bufferSize, size_t i) { return std::min(kPage, bufferSize - i * kPage); }

struct Paging {
  RewindHistory& history;

  PageRef NewPage(const uint8_t* bytes, size_t length) {
    PageRef page;
    if (!history.pool.empty()) {
      page = std::move(history.pool.back());
      history.pool.pop_back();
    } else {
      page = std::make_shared<RewindPage>();
    }
    std::memcpy(page->bytes.data(), bytes, length);
    ++history.livePages;
    return page;
  }

  // Cuts buffer into pages, sharing each page that equals the one in
  // previous (the snapshot before), when there is one.
  void Take(const uint8_t* buffer, size_t size, const std::vector<PageRef>* previous, std::vector<PageRef>& pages) {
    const size_t count = PagesFor(size);
    pages.resize(count);
    const bool comparable = previous && previous->size() == count;
    for (size_t i = 0; i < count; ++i) {
      const uint8_t* bytes = buffer + i * kPage;
      const size_t length = PageLength(size, i);
      if (comparable && std::memcmp((*previous)[i]->bytes.data(), bytes, length) == 0) {
        pages[i] = (*previous)[i];
      } else {
        pages[i] = NewPage(bytes, length);
      }
    }
  }
};

void Put(const std::vector<PageRef>& pages, uint8_t* buffer, size_t size) {
  for (size_t i = 0; i < pages.size(); ++i) std::memcpy(buffer + i * kPage, pages[i]->bytes.data(), PageLength(size, i));
}

constexpr size_t kRingBytes = SampleRing::kCapacity * sizeof(int16_t);

}  // namespace

RewindHistory::RewindHistory(size_t capacity, size_t budget) : budget(budget), entries(std::max<size_t>(capacity, 1)) {
  pool.reserve(kPoolLimit);
}

void RewindHistory::Release(std::vector<PageRef>& pages) {
  for (PageRef& page : pages) {
    if (page.use_count() == 1) {
      --livePages;
      if (pool.size() < kPoolLimit) pool.push_back(std::move(page));
    }
    page.reset();
  }
  pages.clear();  // keeps the vector's storage for the slot's next snapshot
}

void RewindHistory::DropOldest() {
  RewindSnapshot& s = entries[oldest];
  Release(s.ram);
  Release(s.flash);
  Release(s.ring);
  oldest = (oldest + 1) % entries.size();
  --count;
}

void RewindHistory::DropNewest() {
  RewindSnapshot& s = Newest();
  Release(s.ram);
  Release(s.flash);
  Release(s.ring);
  --count;
}

void RewindHistory::Push(const Machine& machine, uint64_t frame) {
  while (count > 0 && Newest().frame >= frame) DropNewest();
  if (count == entries.size()) DropOldest();

  const RewindSnapshot* previous = count > 0 ? &Newest() : nullptr;
  RewindSnapshot& s = entries[(oldest + count) % entries.size()];
  s.frame = frame;
  CaptureFields(machine, s.fields);

  const BusRQ4800& bus = machine.bus;
  Paging paging{*this};
  paging.Take(bus.ram.get(), BusRQ4800::kRamSize, previous ? &previous->ram : nullptr, s.ram);
  paging.Take(bus.flash.get(), BusRQ4800::kFlashSize, previous ? &previous->flash : nullptr, s.flash);
  if (s.fields.ringStorage) {
    const auto* samples = reinterpret_cast<const uint8_t*>(bus.ring->samples.data());
    paging.Take(samples, kRingBytes, previous ? &previous->ring : nullptr, s.ring);
  } else {
    s.ring.clear();
  }
  ++count;

  while (count > 1 && PageBytes() > budget) DropOldest();
}

std::optional<uint64_t> RewindHistory::StepBack(Machine& machine, uint64_t currentFrame) {
  if (count == 0 || entries[oldest].frame >= currentFrame) return std::nullopt;
  while (Newest().frame >= currentFrame) DropNewest();

  const RewindSnapshot& s = Newest();
  ApplyFields(s.fields, machine);
  BusRQ4800& bus = machine.bus;
  Put(s.ram, bus.ram.get(), BusRQ4800::kRamSize);
  Put(s.flash, bus.flash.get(), BusRQ4800::kFlashSize);
  // The ring the machine has now may differ from the one it had (sound
  // turned off or on); ApplyFields has already emptied one without storage.
  if (bus.ring && bus.ring->HasStorage() && !s.ring.empty())
    Put(s.ring, reinterpret_cast<uint8_t*>(bus.ring->samples.data()), kRingBytes);
  return s.frame;
}

void RewindHistory::Clear() {
  while (count > 0) DropOldest();
  oldest = 0;
}

std::optional<uint64_t> RewindHistory::OldestFrame() const {
  if (count == 0) return std::nullopt;
  return entries[oldest].frame;
}

std::optional<uint64_t> RewindHistory::NewestFrame() const {
  if (count == 0) return std::nullopt;
  return Newest().frame;
}

size_t RewindHistory::PageBytes() const { return livePages * sizeof(RewindPage); }

size_t RewindHistory::BytesHeld() const {
  const size_t pointers = PagesFor(BusRQ4800::kRamSize) + PagesFor(BusRQ4800::kFlashSize) + PagesFor(kRingBytes);
  return (livePages + pool.size()) * sizeof(RewindPage) +
         entries.size() * (sizeof(RewindSnapshot) + pointers * sizeof(PageRef));
}

}  // namespace rq4800
