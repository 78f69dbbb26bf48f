// Where windows open around the tool windows, with the numbers of a 1280 x 1024 screen: the
// tool frames at their first places (arranger, tile editor, palette editor).
#include "tools/window_placement.h"

#include <gtest/gtest.h>

#include <vector>

namespace varnock {
namespace {

const std::vector<PlaceRect> kTools{
    {545, 81, 386, 274}, {545, 373, 210, 146}, {545, 535, 433, 100}};
constexpr PlaceSize kRomWindow{408, 410};

struct FreePartCase {
  const char* name;
  PlaceRect area;
  std::vector<PlaceRect> covered;
  PlaceSize size;
  std::optional<PlaceRect> part;
};

class FreePartTest : public ::testing::TestWithParam<FreePartCase> {};

TEST_P(FreePartTest, IsTheLargestUncoveredRectangleThatHoldsTheWindow) {
  const FreePartCase& c = GetParam();
  EXPECT_EQ(FreePartFor(c.area, c.covered, c.size), c.part);
}

INSTANTIATE_TEST_SUITE_P(
    Placement, FreePartTest,
    ::testing::Values(
        FreePartCase{
            "left_of_the_tools", {0, 0, 1280, 900}, kTools, kRomWindow, {{0, 0, 545, 900}}},
        FreePartCase{"right_of_them_when_wider",
                     {0, 0, 2000, 900},
                     kTools,
                     kRomWindow,
                     {{978, 0, 1022, 900}}},
        FreePartCase{"below_them_when_that_is_largest",
                     {0, 0, 1280, 1600},
                     kTools,
                     kRomWindow,
                     {{0, 635, 1280, 965}}},
        FreePartCase{"none_that_holds_it", {0, 0, 800, 500}, kTools, {600, 300}, std::nullopt},
        FreePartCase{"covers_outside_the_area_count_for_nothing",
                     {0, 0, 500, 500},
                     kTools,
                     kRomWindow,
                     {{0, 0, 500, 500}}},
        FreePartCase{"of_two_as_large_the_higher",
                     {0, 0, 300, 300},
                     {{0, 100, 300, 100}},
                     {10, 10},
                     {{0, 0, 300, 100}}}),
    [](const auto& info) { return std::string(info.param.name); });

struct CascadeCase {
  const char* name;
  std::vector<PlacePoint> taken;
  int32_t step;
  std::optional<PlacePoint> at;
  PlaceRect area = {0, 0, 1280, 900};
};

class CascadeTest : public ::testing::TestWithParam<CascadeCase> {};

TEST_P(CascadeTest, TakesTheFirstFreeStepInTheFreePart) {
  const CascadeCase& c = GetParam();
  EXPECT_EQ(CascadePlace(c.area, kTools, kRomWindow, c.step, c.taken), c.at);
}

INSTANTIATE_TEST_SUITE_P(
    Placement, CascadeTest,
    ::testing::Values(CascadeCase{"first_window_at_the_corner", {}, 22, {{0, 0}}},
                      CascadeCase{"next_one_a_step_on", {{0, 0}, {22, 22}}, 22, {{44, 44}}},
                      CascadeCase{"a_step_left_free_is_taken_again", {{22, 22}}, 22, {{0, 0}}},
                      CascadeCase{
                          "windows_elsewhere_take_no_step", {{5, 5}, {600, 0}}, 22, {{0, 0}}},
                      // A step of 200 leaves the 545 pixels at the second step: back to the first.
                      CascadeCase{"past_the_free_part_starts_over", {{0, 0}}, 200, {{0, 0}}},
                      CascadeCase{"no_room", {}, 22, std::nullopt, {0, 0, 800, 300}}),
    [](const auto& info) { return std::string(info.param.name); });

struct ClearCase {
  const char* name;
  PlacePoint preferred;
  PlaceSize size;
  PlacePoint at;
};

class ClearPlaceTest : public ::testing::TestWithParam<ClearCase> {};

TEST_P(ClearPlaceTest, IsTheNearestPlaceOnTheScreenThatNoToolCovers) {
  const ClearCase& c = GetParam();
  const PlaceRect screen{0, 0, 1280, 1024};
  const PlacePoint at = ClearPlace(screen, kTools, c.size, c.preferred);
  EXPECT_EQ(at, c.at) << at.X << ", " << at.Y;
}

INSTANTIATE_TEST_SUITE_P(
    Placement, ClearPlaceTest,
    ::testing::Values(
        ClearCase{"clear_already", {100, 100}, {200, 100}, {100, 100}},
        ClearCase{"touching_a_tool_is_clear", {345, 373}, {200, 100}, {345, 373}},
        // Left of the editor is 195 pixels away, below the palette editor 173.
        ClearCase{"over_the_editor_the_nearest_way_out", {540, 462}, {200, 100}, {540, 635}},
        // Below the arranger and right of the editor is 298 pixels away, right of the arranger 331.
        ClearCase{"over_the_arranger_the_nearest_corner", {600, 100}, {300, 150}, {755, 355}},
        ClearCase{"past_the_screen_edge_back_on_it", {1200, 900}, {200, 100}, {1080, 900}},
        ClearCase{"no_clear_place_stays_on_the_screen", {100, 100}, {1280, 1024}, {0, 0}},
        ClearCase{
            "larger_than_the_screen_keeps_its_corner_on_it", {-50, -50}, {1400, 1100}, {0, 0}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace varnock
