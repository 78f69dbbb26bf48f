// The history of an image: steps of changed runs taken back and written again byte for byte,
// grouping, the redo steps a new change drops, the saved state, and the memory bound.
#include "history/edit_history.h"

#include <gtest/gtest.h>

#include <numeric>
#include <string>
#include <vector>

namespace varnock {
namespace {

struct Write {
  int64_t offset;
  std::vector<uint8_t> bytes;
};

std::vector<uint8_t> Counting(size_t size) {
  std::vector<uint8_t> bytes(size);
  std::iota(bytes.begin(), bytes.end(), uint8_t{0});
  return bytes;
}

// Bytes `from` .. `from + count - 1` of `image`, each with `mask` toggled.
Write Toggled(const std::vector<uint8_t>& image, int64_t from, size_t count, uint8_t mask) {
  Write write{from, {}};
  for (size_t i = 0; i < count; ++i) write.bytes.push_back(image[from + i] ^ mask);
  return write;
}

struct StepCase {
  const char* name;
  std::vector<Write> writes;   // all in one step, on a 4096-byte image of 0, 1, 2 ...
  std::vector<uint8_t> after;  // the image afterwards, built from the counting bytes
  int64_t mostRecorded;        // the step's record may take at most this many bytes
};

std::vector<uint8_t> With(std::vector<uint8_t> image, const std::vector<Write>& writes) {
  for (const Write& w : writes)
    for (size_t i = 0; i < w.bytes.size() && w.offset + int64_t(i) < int64_t(image.size()); ++i)
      image[w.offset + i] = w.bytes[i];
  return image;
}

class StepTest : public ::testing::TestWithParam<StepCase> {};

TEST_P(StepTest, UndoPutsTheBytesBackAndRedoWritesThemAgain) {
  const StepCase& c = GetParam();
  const std::vector<uint8_t> before = Counting(4096);
  std::vector<uint8_t> image = before;
  EditHistory history;
  history.BeginStep("step");
  for (const Write& w : c.writes) history.Write(image, w.offset, w.bytes);
  EXPECT_TRUE(history.EndStep());
  ASSERT_EQ(image, c.after);
  EXPECT_EQ(history.StepCount(), 1u);
  EXPECT_LE(history.RecordedBytes(), c.mostRecorded) << "only the changed runs are kept";

  std::vector<ByteRange> changed;
  ASSERT_TRUE(history.Undo(image, changed));
  EXPECT_EQ(image, before);
  EXPECT_FALSE(history.Undo(image, changed));
  ASSERT_TRUE(history.Redo(image, changed));
  EXPECT_EQ(image, c.after);
  EXPECT_FALSE(history.Redo(image, changed));
  for (const ByteRange& range : changed) EXPECT_LE(range.End(), 4096);
}

const std::vector<uint8_t> kCounting = Counting(4096);
const std::vector<uint8_t> kTwoFarApart =
    With(kCounting, {Toggled(kCounting, 7, 1, 1), Toggled(kCounting, 3000, 1, 1)});

INSTANTIATE_TEST_SUITE_P(
    Changes, StepTest,
    ::testing::Values(
        StepCase{"OneByte",
                 {Toggled(kCounting, 100, 1, 0xFF)},
                 With(kCounting, {Toggled(kCounting, 100, 1, 0xFF)}),
                 100},
        // a 4 KiB write of which two bytes far apart differ: two short runs, not 4 KiB twice
        StepCase{"TwoBytesOfAWholeImageWrite", {Write{0, kTwoFarApart}}, kTwoFarApart, 140},
        // a later write over an earlier one in the same step: undo goes back past both
        StepCase{"OverlappingWritesOfOneStep",
                 {Toggled(kCounting, 10, 32, 0x0F), Write{20, std::vector<uint8_t>(40, 0xEE)}},
                 With(kCounting, {Toggled(kCounting, 10, 32, 0x0F),
                                  Write{20, std::vector<uint8_t>(40, 0xEE)}}),
                 400},
        StepCase{"AWriteCutAtTheImagesEnd",
                 {Write{4090, std::vector<uint8_t>(64, 0x00)}},
                 With(kCounting, {Write{4090, std::vector<uint8_t>(64, 0x00)}}),
                 100}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(EditHistory, AStepThatChangedNothingIsKeptOnlyWhenAskedTo) {
  std::vector<uint8_t> image = Counting(256);
  EditHistory history;
  EXPECT_FALSE(history.Write(image, 5, std::vector<uint8_t>{5, 6, 7}));
  history.BeginStep("same bytes");
  history.Write(image, 5, std::vector<uint8_t>{5, 6, 7});
  EXPECT_FALSE(history.EndStep());
  EXPECT_EQ(history.StepCount(), 0u);
  EXPECT_TRUE(history.AtSavedState());
  history.BeginStep("encode", StepKeeping::Always);
  history.Write(image, 5, std::vector<uint8_t>{5, 6, 7});
  EXPECT_TRUE(history.EndStep());
  EXPECT_EQ(history.UndoDescription(), "encode");
  EXPECT_FALSE(history.AtSavedState()) << "an edit, though it wrote the same bytes";
}

// Steps in sequence: a new change after an undo drops the steps that could have been redone,
// and the saved state is the one marked, wherever undo and redo go.
TEST(EditHistory, ANewChangeAfterAnUndoDropsTheRedoStepsAndTheSavedStateFollows) {
  std::vector<uint8_t> image(64, 0);
  EditHistory history;
  std::vector<ByteRange> changed;
  for (uint8_t value = 1; value <= 3; ++value) {
    history.BeginStep("step " + std::to_string(value));
    history.Write(image, value, std::vector<uint8_t>{value});
    history.EndStep();
  }
  history.MarkSaved();  // after step 3
  ASSERT_TRUE(history.Undo(image, changed));
  EXPECT_FALSE(history.AtSavedState());
  EXPECT_EQ(history.RedoDescription(), "step 3");
  ASSERT_TRUE(history.Redo(image, changed));
  EXPECT_TRUE(history.AtSavedState());
  history.Undo(image, changed);
  history.Undo(image, changed);
  EXPECT_EQ(history.Position(), 1u);
  history.BeginStep("step 4");
  history.Write(image, 9, std::vector<uint8_t>{9});
  history.EndStep();
  EXPECT_EQ(history.StepCount(), 2u);
  EXPECT_FALSE(history.CanRedo());
  EXPECT_EQ(history.Description(1), "step 4");
  EXPECT_EQ(image[1], 1);
  EXPECT_EQ(image[2] + image[3], 0);
  EXPECT_EQ(image[9], 9);
  // The saved state went with the dropped steps: no undo or redo reaches it again.
  while (history.Undo(image, changed)) EXPECT_FALSE(history.AtSavedState());
  history.MarkSaved();
  EXPECT_TRUE(history.AtSavedState());
}

// The bound: the oldest steps go, the history says from where it starts, undo stops there;
// a single step larger than the whole budget leaves nothing to undo, and its bytes stay.
TEST(EditHistory, StaysWithinItsBudgetByDroppingTheOldestSteps) {
  std::vector<uint8_t> image(1 << 16, 0);
  EditHistory history(4096);
  for (int step = 0; step < 1000; ++step) {
    history.BeginStep("pen " + std::to_string(step));
    history.Write(image, (step * 32) % 65536, std::vector<uint8_t>(32, uint8_t(step % 250 + 1)));
    history.EndStep();
    ASSERT_LE(history.RecordedBytes(), 4096);
  }
  EXPECT_GT(history.DroppedSteps(), 0);
  EXPECT_EQ(history.DroppedSteps() + int64_t(history.StepCount()), 1000);
  EXPECT_EQ(history.StartDescription(), "pen " + std::to_string(history.DroppedSteps() - 1));
  std::vector<ByteRange> changed;
  while (history.Undo(image, changed)) {
  }
  // Undone as far as it goes: the steps still kept are gone from the image, the dropped stay.
  const int first = int(history.DroppedSteps());
  EXPECT_EQ(image[(first - 1) * 32], uint8_t((first - 1) % 250 + 1));
  EXPECT_EQ(image[first * 32], 0);

  const int64_t dropped = history.DroppedSteps();
  history.BeginStep("too large");
  history.Write(image, 0, std::vector<uint8_t>(8192, 0x77));
  history.EndStep();
  EXPECT_EQ(history.StepCount(), 0u);
  EXPECT_EQ(history.StartDescription(), "too large");
  EXPECT_EQ(history.DroppedSteps(), dropped + 1);
  EXPECT_EQ(image[8191], 0x77);
  EXPECT_FALSE(history.AtSavedState());
}

}  // namespace
}  // namespace varnock
