// What the tool windows, which stay on top of everything, leave uncovered: each other at their
// first places, and new ROM and stream windows.
#include <QApplication>
#include <QMdiArea>

#include "compression/compression.h"
#include "palette/pal_form.h"
#include "support/app_fixture.h"
#include "tools/clip_form.h"
#include "tools/edit_form.h"

namespace varnock::test {
namespace {

// The tool windows that cover a ROM window, which sits in the frame's client area.
QStringList ToolsCovering(const QWidget* rom) {
  return ToolWindowsCovering(
      QRect(rom->parentWidget()->mapToGlobal(rom->pos()), rom->frameGeometry().size()));
}

using WindowPlaces = AppTest;

TEST_F(WindowPlaces, TheToolWindowsAtTheirFirstPlacesOverlapNoOther) {
  ASSERT_NE(Open("game.gb", PatternBytes(32768, 1)), nullptr);
  const std::vector<std::pair<QWidget*, QPoint>> tools{
      {ClipForm, {545, 81}}, {EditForm, {545, 373}}, {PalForm, {545, 535}}};
  for (const auto& [tool, place] : tools) {
    EXPECT_TRUE(tool->window()->isVisible()) << tool->windowTitle().toStdString();
    EXPECT_EQ(tool->window()->pos(), place) << tool->windowTitle().toStdString();
    for (const auto& [other, unused] : tools) {
      if (other == tool) continue;
      EXPECT_FALSE(tool->window()->frameGeometry().intersects(other->window()->frameGeometry()))
          << tool->windowTitle().toStdString() << " covers " << other->windowTitle().toStdString();
    }
  }
}

TEST_F(WindowPlaces, NewRomAndStreamWindowsOpenWhereNoToolCoversThemOneStepApart) {
  std::vector<uint8_t> image = PatternBytes(0x8000, 3);
  std::ranges::copy(*Compress(CompressionFormat::Lz10, std::vector<uint8_t>(2048, 0x11)),
                    image.begin() + 0x400);
  QList<QPoint> places;
  for (const char* name : {"a.gba", "b.gba", "c.gba"}) {
    TChildForm* rom = Open(name, image);
    ASSERT_NE(rom, nullptr);
    EXPECT_EQ(ToolsCovering(rom), QStringList()) << name;
    EXPECT_FALSE(places.contains(rom->pos())) << name << " hides a caption";
    places << rom->pos();
  }
  TChildForm* stream = MainForm->ActiveChild()->OpenStreamWindow(0x400, CompressionFormat::Lz10);
  ASSERT_NE(stream, nullptr);
  EXPECT_EQ(ToolsCovering(stream), QStringList());
  EXPECT_FALSE(places.contains(stream->pos()));
}

TEST_F(WindowPlaces, WithoutRoomBesideTheToolsAWindowStaysWhereItOpened) {
  MainForm->showNormal();
  MainForm->setGeometry(560, 100, 300, 300);  // the client area lies under the tools
  ASSERT_NE(Open("game.gb", PatternBytes(32768, 1)), nullptr);
  EXPECT_EQ(MainForm->ActiveChild()->pos(), QPoint(0, 0));
}

}  // namespace
}  // namespace varnock::test
