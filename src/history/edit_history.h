// The history of one image: every step keeps the runs of bytes it changed, as they were before
// and after, so undo and redo copy those runs back and forth and never keep a copy of the image.
//
// A step's record is one block:
//
//   [description][run][run]...      run = offset (8 bytes) | length (4) | before | after
//
// so a pen press on one tile costs one allocation of a few dozen bytes.
#pragma once

#include <cstdint>
#include <deque>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace varnock {

// What one image's history may hold, counted in the bytes its steps take.
inline constexpr int64_t kDefaultHistoryBudget = int64_t{256} << 20;

// Bytes Offset .. Offset + Length - 1 of an image.
struct ByteRange {
  int64_t Offset = 0;
  int64_t Length = 0;
  int64_t End() const { return Offset + Length; }
};

// Whether a step that changed no byte is kept: an operation that always counts as an edit (an
// encode, a paste commit) is a step even when it wrote the bytes that were there.
enum class StepKeeping { WhenChanged, Always };

class EditHistory {
 public:
  explicit EditHistory(int64_t budget = kDefaultHistoryBudget);

  // Opens a step named `description`: the writes until the matching EndStep are that one step.
  // A pair opened while a step is open joins it, and the outermost description stays; any
  // pair asking to keep the step always makes the whole step kept.
  void BeginStep(std::string_view description, StepKeeping keeping = StepKeeping::WhenChanged);
  // Closes what the matching BeginStep opened. The outermost close keeps the step when it
  // changed a byte (or was to be kept always); the steps that could have been redone are dropped
  // then, and the oldest ones while the history holds more than its budget. True when a step
  // was kept.
  bool EndStep();
  bool StepOpen() const { return depth_ > 0; }

  // Copies `bytes` into `image` at `offset` and records the runs of bytes that changed in the
  // open step (without one, as a step of its own with an empty description). The caller keeps
  // the write inside the image: here it is only cut, never allowed past the end. True when a
  // byte changed.
  bool Write(std::span<uint8_t> image, int64_t offset, std::span<const uint8_t> bytes);

  // Puts the before-bytes of the newest applied step back into `image` (runs in the reverse
  // order of their writes) and appends the ranges written to `changed`. False, with nothing
  // written, when there is no step to undo or a step is open.
  bool Undo(std::span<uint8_t> image, std::vector<ByteRange>& changed);
  // Writes the after-bytes of the first step undone again, in the order they were written.
  bool Redo(std::span<uint8_t> image, std::vector<ByteRange>& changed);
  bool CanUndo() const { return !StepOpen() && position_ > 0; }
  bool CanRedo() const { return !StepOpen() && position_ < steps_.size(); }

  // Steps kept, oldest first; the first Position() of them are applied to the image.
  size_t StepCount() const { return steps_.size(); }
  size_t Position() const { return position_; }
  std::string_view Description(size_t index) const;
  // The step an undo or a redo would take: empty when there is none.
  std::string_view UndoDescription() const;
  std::string_view RedoDescription() const;

  // Where the history starts: how many older steps were dropped to stay within the budget (or
  // because one step alone was larger than it), and the newest of them.
  int64_t DroppedSteps() const { return dropped_; }
  std::string_view StartDescription() const { return startDescription_; }
  // Bytes the kept steps take, the records and their bookkeeping.
  int64_t RecordedBytes() const { return recorded_; }
  int64_t Budget() const { return budget_; }
  // A new budget; steps are dropped at once when the history holds more.
  void SetBudget(int64_t budget);

  // Whether the image is in the state last marked saved (the image as read counts as saved).
  // A step that is still open and has changed a byte leaves it unsaved.
  bool AtSavedState() const;
  void MarkSaved();
  // Nothing recorded, nothing dropped; the current state is the saved one.
  void Clear();

 private:
  struct Step {
    std::vector<uint8_t> Record;
    uint32_t DescriptionLength = 0;
    uint32_t RunCount = 0;
    uint64_t Serial = 0;  // names the state after the step, for the saved mark
  };
  static int64_t CostOf(const Step& step);
  uint64_t CurrentSerial() const;
  void DropRedoSteps();
  void DropOldest();
  // Keeps the newest applied steps within the budget (redo steps go first when only they are
  // left to drop).
  void Trim();

  int64_t budget_;
  std::deque<Step> steps_;
  size_t position_ = 0;
  int64_t recorded_ = 0;
  int64_t dropped_ = 0;
  std::string startDescription_;
  uint64_t nextSerial_ = 1;
  uint64_t baseSerial_ = 0;  // the state before the oldest kept step
  uint64_t savedSerial_ = 0;

  // The open step.
  int depth_ = 0;
  std::vector<uint8_t> open_;
  uint32_t openDescriptionLength_ = 0;
  uint32_t openRuns_ = 0;
  bool openChanged_ = false;
  bool openKept_ = false;
  bool openTooLarge_ = false;  // its runs alone outgrew the budget: it cannot be undone
};

}  // namespace varnock
