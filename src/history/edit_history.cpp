#include "history/edit_history.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace varnock {
namespace {

constexpr size_t kRunHeader = sizeof(int64_t) + sizeof(uint32_t);
// Runs closer than this are kept as one: a run's header costs about as much as the equal bytes
// between them would, twice over, and fewer runs are quicker to put back.
constexpr size_t kJoinGap = 16;
// Above this a step's record keeps the capacity it grew to rather than being copied into a
// block of its exact size.
constexpr size_t kCopyLimit = 64 << 10;
// What one kept step costs beside its record: its entry in the list and the allocation's own
// bookkeeping.
constexpr int64_t kStepOverhead = 48 + 16;

uint64_t LoadWord(const uint8_t* at) {
  uint64_t word;
  std::memcpy(&word, at, sizeof word);
  return word;
}

// First index from `from` where the two blocks differ, or `n`.
size_t FirstDifference(const uint8_t* a, const uint8_t* b, size_t from, size_t n) {
  size_t i = from;
  for (; i + 8 <= n; i += 8) {
    const uint64_t x = LoadWord(a + i) ^ LoadWord(b + i);
    if (x != 0) return i + static_cast<size_t>(std::countr_zero(x)) / 8;
  }
  for (; i < n; ++i)
    if (a[i] != b[i]) return i;
  return n;
}

// One past the last differing byte of the run that starts at `start`: the run ends before
// kJoinGap equal bytes in a row, or at `n`.
size_t RunEnd(const uint8_t* a, const uint8_t* b, size_t start, size_t n) {
  size_t end = start + 1;
  size_t i = end;
  while (i < n && i - end < kJoinGap) {
    if (i + 8 <= n) {
      const uint64_t x = LoadWord(a + i) ^ LoadWord(b + i);
      if (x != 0) end = i + 8 - static_cast<size_t>(std::countl_zero(x)) / 8;
      i += 8;
    } else {
      if (a[i] != b[i]) end = i + 1;
      ++i;
    }
  }
  return end;
}

void Append(std::vector<uint8_t>& record, const void* bytes, size_t count) {
  const auto* from = static_cast<const uint8_t*>(bytes);
  record.insert(record.end(), from, from + count);
}

struct RunView {
  int64_t Offset;
  uint32_t Length;
  const uint8_t* Before;
  const uint8_t* After;
};

// The runs of a record, from `at` (just past the description).
RunView RunAt(const std::vector<uint8_t>& record, size_t at) {
  RunView run{};
  std::memcpy(&run.Offset, record.data() + at, sizeof run.Offset);
  std::memcpy(&run.Length, record.data() + at + sizeof run.Offset, sizeof run.Length);
  run.Before = record.data() + at + kRunHeader;
  run.After = run.Before + run.Length;
  return run;
}

// Copies a run's bytes into the image, never past its end.
bool Restore(std::span<uint8_t> image, int64_t offset, uint32_t length, const uint8_t* bytes,
             std::vector<ByteRange>& changed) {
  const int64_t size = static_cast<int64_t>(image.size());
  if (offset < 0 || offset >= size) return false;
  const int64_t count = std::min<int64_t>(length, size - offset);
  std::memcpy(image.data() + offset, bytes, static_cast<size_t>(count));
  changed.push_back({offset, count});
  return true;
}

}  // namespace

EditHistory::EditHistory(int64_t budget) : budget_(std::max<int64_t>(budget, 0)) {}

int64_t EditHistory::CostOf(const Step& step) {
  return static_cast<int64_t>(step.Record.capacity()) + kStepOverhead;
}

uint64_t EditHistory::CurrentSerial() const {
  return position_ == 0 ? baseSerial_ : steps_[position_ - 1].Serial;
}

void EditHistory::BeginStep(std::string_view description, StepKeeping keeping) {
  if (depth_++ > 0) {
    openKept_ = openKept_ || keeping == StepKeeping::Always;
    return;
  }
  openKept_ = keeping == StepKeeping::Always;
  open_.clear();
  openRuns_ = 0;
  openChanged_ = false;
  openTooLarge_ = false;
  const size_t length = std::min<size_t>(description.size(), 0xFFFF);
  openDescriptionLength_ = static_cast<uint32_t>(length);
  Append(open_, description.data(), length);
}

bool EditHistory::Write(std::span<uint8_t> image, int64_t offset, std::span<const uint8_t> bytes) {
  const int64_t size = static_cast<int64_t>(image.size());
  if (offset < 0 || offset >= size || bytes.empty()) return false;
  const size_t n = std::min<size_t>(bytes.size(), static_cast<size_t>(size - offset));
  uint8_t* target = image.data() + offset;
  const uint8_t* source = bytes.data();
  size_t start = FirstDifference(target, source, 0, n);
  if (start == n) return false;

  const bool ownStep = !StepOpen();
  if (ownStep) BeginStep({});
  openChanged_ = true;
  while (start < n) {
    const size_t end = RunEnd(target, source, start, n);
    const size_t length = end - start;
    if (!openTooLarge_) {
      const size_t need = kRunHeader + 2 * length;
      if (static_cast<int64_t>(open_.size() + need) + kStepOverhead > budget_) {
        // Kept whole it would outgrow the budget on its own: nothing of it but its name is kept.
        openTooLarge_ = true;
        open_.resize(openDescriptionLength_);
        open_.shrink_to_fit();
      } else {
        const int64_t at = offset + static_cast<int64_t>(start);
        const uint32_t runLength = static_cast<uint32_t>(length);
        if (open_.size() + need > open_.capacity())
          open_.reserve(std::max(open_.size() + need, open_.capacity() * 2));
        Append(open_, &at, sizeof at);
        Append(open_, &runLength, sizeof runLength);
        Append(open_, target + start, length);
        Append(open_, source + start, length);
        ++openRuns_;
      }
    }
    std::memcpy(target + start, source + start, length);
    start = FirstDifference(target, source, end, n);
  }
  if (ownStep) EndStep();
  return true;
}

bool EditHistory::EndStep() {
  if (depth_ == 0 || --depth_ > 0) return false;
  if (!openChanged_ && !openKept_) return false;
  openChanged_ = false;
  DropRedoSteps();
  const uint64_t serial = nextSerial_++;
  if (openTooLarge_) {
    // The image cannot go back past this step, so nothing before it can be undone either.
    dropped_ += static_cast<int64_t>(steps_.size()) + 1;
    steps_.clear();
    position_ = 0;
    recorded_ = 0;
    baseSerial_ = serial;
    startDescription_.assign(reinterpret_cast<const char*>(open_.data()),
                             std::min<size_t>(open_.size(), openDescriptionLength_));
    std::vector<uint8_t>().swap(open_);
    return false;
  }
  Step step;
  if (open_.size() <= kCopyLimit) {
    step.Record.assign(open_.begin(), open_.end());
  } else {
    step.Record = std::move(open_);
    open_ = {};
  }
  step.DescriptionLength = openDescriptionLength_;
  step.RunCount = openRuns_;
  step.Serial = serial;
  recorded_ += CostOf(step);
  steps_.push_back(std::move(step));
  position_ = steps_.size();
  Trim();
  return position_ > 0;
}

void EditHistory::DropRedoSteps() {
  while (steps_.size() > position_) {
    recorded_ -= CostOf(steps_.back());
    steps_.pop_back();
  }
}

void EditHistory::DropOldest() {
  const Step& oldest = steps_.front();
  recorded_ -= CostOf(oldest);
  baseSerial_ = oldest.Serial;
  startDescription_.assign(reinterpret_cast<const char*>(oldest.Record.data()),
                           oldest.DescriptionLength);
  ++dropped_;
  steps_.pop_front();
  --position_;
}

void EditHistory::Trim() {
  while (recorded_ > budget_ && steps_.size() > position_) {
    recorded_ -= CostOf(steps_.back());
    steps_.pop_back();
  }
  while (recorded_ > budget_ && position_ > 0) DropOldest();
}

void EditHistory::SetBudget(int64_t budget) {
  budget_ = std::max<int64_t>(budget, 0);
  Trim();
}

bool EditHistory::Undo(std::span<uint8_t> image, std::vector<ByteRange>& changed) {
  if (!CanUndo()) return false;
  const Step& step = steps_[position_ - 1];
  // Runs of one step may overlap (a later write over an earlier one): they go back newest
  // first, so each finds the bytes it recorded as its after-bytes.
  std::vector<size_t> starts;
  starts.reserve(step.RunCount);
  for (size_t at = step.DescriptionLength; starts.size() < step.RunCount;) {
    starts.push_back(at);
    at += kRunHeader + 2 * size_t{RunAt(step.Record, at).Length};
  }
  for (auto at = starts.rbegin(); at != starts.rend(); ++at) {
    const RunView run = RunAt(step.Record, *at);
    Restore(image, run.Offset, run.Length, run.Before, changed);
  }
  --position_;
  return true;
}

bool EditHistory::Redo(std::span<uint8_t> image, std::vector<ByteRange>& changed) {
  if (!CanRedo()) return false;
  const Step& step = steps_[position_];
  size_t at = step.DescriptionLength;
  for (uint32_t i = 0; i < step.RunCount; ++i) {
    const RunView run = RunAt(step.Record, at);
    Restore(image, run.Offset, run.Length, run.After, changed);
    at += kRunHeader + 2 * size_t{run.Length};
  }
  ++position_;
  return true;
}

std::string_view EditHistory::Description(size_t index) const {
  if (index >= steps_.size()) return {};
  const Step& step = steps_[index];
  return {reinterpret_cast<const char*>(step.Record.data()), step.DescriptionLength};
}

std::string_view EditHistory::UndoDescription() const {
  return CanUndo() ? Description(position_ - 1) : std::string_view();
}

std::string_view EditHistory::RedoDescription() const {
  return CanRedo() ? Description(position_) : std::string_view();
}

bool EditHistory::AtSavedState() const {
  if (StepOpen() && (openChanged_ || openKept_)) return false;
  return CurrentSerial() == savedSerial_;
}

void EditHistory::MarkSaved() {
  savedSerial_ = CurrentSerial();
}

void EditHistory::Clear() {
  steps_.clear();
  position_ = 0;
  recorded_ = 0;
  dropped_ = 0;
  startDescription_.clear();
  baseSerial_ = savedSerial_ = 0;
  nextSerial_ = 1;
  depth_ = 0;
  openChanged_ = false;
  openKept_ = false;
  openTooLarge_ = false;
  std::vector<uint8_t>().swap(open_);
}

}  // namespace varnock
