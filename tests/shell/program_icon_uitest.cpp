// The frame shows the program's own icon, the same pictures the desktop installs.
#include <QImage>

#include "support/app_fixture.h"

namespace varnock::test {
namespace {

using ProgramIconTest = AppTest;

TEST_F(ProgramIconTest, TheFrameShowsTheInstalledPicturesInEverySize) {
  const QIcon icon = MainForm->windowIcon();
  ASSERT_FALSE(icon.isNull());
  for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
    const QImage installed = QImage(QStringLiteral(":/icons/%1.png").arg(size))
                                 .convertToFormat(QImage::Format_ARGB32_Premultiplied);
    ASSERT_EQ(installed.size(), QSize(size, size));
    const QImage shown = icon.pixmap(QSize(size, size), 1.0)
                             .toImage()
                             .convertToFormat(QImage::Format_ARGB32_Premultiplied);
    EXPECT_EQ(shown, installed) << size;
  }
}

}  // namespace
}  // namespace varnock::test
