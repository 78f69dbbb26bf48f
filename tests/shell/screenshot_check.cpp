// Checks a screenshot of the editor with samples/sample.gb open: the picture has the screen's
// size, and the first tiles of the view show the test card's solid colours at zoom 3 with the
// grid lines between them.
#include <QGuiApplication>
#include <QImage>
#include <cstdio>

namespace {

constexpr QRgb kColours[] = {qRgb(0, 0, 0), qRgb(99, 207, 99), qRgb(57, 51, 255),
                             qRgb(220, 255, 255)};  // default colours 0..3
constexpr QRgb kSilver = qRgb(192, 192, 192);

bool Block(const QImage& image, int left, int top, int width, int height, QRgb colour) {
  for (int y = top; y < top + height; ++y)
    for (int x = left; x < left + width; ++x)
      if (!image.rect().contains(x, y) || (image.pixel(x, y) & 0xFFFFFF) != (colour & 0xFFFFFF))
        return false;
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);
  if (argc != 4) {
    std::fprintf(stderr, "usage: screenshot_check SHOT.png WIDTH HEIGHT\n");
    return 2;
  }
  const QImage shot(QString::fromLocal8Bit(argv[1]));
  const QSize expected(std::atoi(argv[2]), std::atoi(argv[3]));
  if (shot.size() != expected) {
    std::fprintf(stderr, "picture is %dx%d, expected %dx%d\n", shot.width(), shot.height(),
                 expected.width(), expected.height());
    return 1;
  }
  // The first pixel of colour 1 from the top is the second column of tile 1 (the grid line
  // covers its first column); tile 0 lies 25 pixels to its left.
  for (int y = 0; y < shot.height(); ++y) {
    for (int x = 0; x < shot.width(); ++x) {
      if ((shot.pixel(x, y) & 0xFFFFFF) != (kColours[1] & 0xFFFFFF)) continue;
      const int left = x - 25;  // tile 0's first column
      bool ok = Block(shot, left, y, 24, 24, kColours[0]);
      for (int k = 1; k < 4 && ok; ++k)
        ok = Block(shot, left + 24 * k, y, 1, 24, kSilver) &&
             Block(shot, left + 24 * k + 1, y, 23, 24, kColours[k]);
      if (!ok) {
        std::fprintf(stderr, "tiles 0-3 near (%d, %d) are not the test card\n", x, y);
        return 1;
      }
      std::printf("test card found at (%d, %d)\n", left, y);
      return 0;
    }
  }
  std::fprintf(stderr, "no tile of colour 1 in the picture\n");
  return 1;
}
