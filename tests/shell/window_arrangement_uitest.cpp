// "&Tile" stacks the ROM windows one above another across the frame's client area.
#include <QMdiSubWindow>

#include "support/app_fixture.h"

namespace varnock::test {
namespace {

using WindowArrangement = AppTest;

TEST_F(WindowArrangement, TileStacksTheWindowsAcrossTheFullWidth) {
  MainForm->resize(1000, 800);
  for (int count = 1; count <= 3; ++count) {
    const char* const names[] = {"a.vb", "b.vb", "c.vb"};
    ASSERT_NE(Open(names[count - 1], PatternBytes(65536, count)), nullptr);
    MainForm->Tile1->trigger();
    const QRect area = MainForm->MdiArea->viewport()->rect();
    const QList<TChildForm*> windows = MainForm->RomWindows();
    ASSERT_EQ(windows.size(), count);
    QList<int> tops;
    for (TChildForm* window : windows) {
      SCOPED_TRACE(window->windowTitle().toStdString());
      EXPECT_EQ(window->x(), 0);
      tops << window->y();
      // The window snaps its client area to whole tiles: never wider than the area, and short
      // of it by less than one cell.
      EXPECT_LE(window->width(), area.width());
      EXPECT_GT(window->width(), area.width() - window->Doc.CellWidth);
    }
    std::sort(tops.begin(), tops.end());
    for (int i = 0; i < count; ++i) EXPECT_EQ(tops[i], area.height() * i / count) << count;
  }
}

}  // namespace
}  // namespace varnock::test
