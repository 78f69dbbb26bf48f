// Writes valid pictures into a corpus folder, so that the picture fuzzer starts from files its
// readers accept: BMPs of every depth, bottom-up and top-down, one run-length BMP, and PNGs of
// every colour type at every depth the type allows (indexed ones also interlaced and with a
// short colour table), built byte by byte from their layouts.
// usage: picture_seeds FOLDER
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "support/png_bytes.h"

namespace {

struct BitmapShape {
  int Bits = 8;  // 1, 4, 8, 16, 24 or 32
  int Width = 8;
  int Height = 8;          // negative: rows stored top-down
  bool RunLength = false;  // 8 bits only: every pixel a run of one, rows ended, bitmap ended
};

void Put16(std::vector<uint8_t>& out, size_t at, uint32_t value) {
  out[at] = static_cast<uint8_t>(value);
  out[at + 1] = static_cast<uint8_t>(value >> 8);
}

void Put32(std::vector<uint8_t>& out, size_t at, uint32_t value) {
  Put16(out, at, value);
  Put16(out, at + 2, value >> 16);
}

// A BMP file: 14-byte file header, 40-byte information header, a full colour table for 1..8
// bits, then the rows (bottom-up unless Height < 0) padded to 32-bit words. Pixel (x, y)
// holds (x + 3y) mod 2^bits for indexed pictures, red 8x, green 8y, blue 8(x+y) for others.
std::vector<uint8_t> MakeBitmap(const BitmapShape& shape) {
  const int rows = std::abs(shape.Height);
  const uint32_t colours = shape.Bits <= 8 ? 1u << shape.Bits : 0;
  const size_t tableEnd = 54 + 4 * size_t{colours};
  const size_t rowBytes = (static_cast<size_t>(shape.Width) * shape.Bits + 31) / 32 * 4;
  std::vector<uint8_t> pixels;
  if (shape.RunLength) {
    for (int y = rows - 1; y >= 0; --y) {  // bottom row first
      for (int x = 0; x < shape.Width; ++x)
        pixels.insert(pixels.end(), {1, static_cast<uint8_t>((x + 3 * y) & 0xFF)});
      pixels.insert(pixels.end(), {0, 0});
    }
    pixels.insert(pixels.end(), {0, 1});
  } else {
    pixels.assign(rowBytes * static_cast<size_t>(rows), 0);
    for (int stored = 0; stored < rows; ++stored) {
      const int y = shape.Height < 0 ? stored : rows - 1 - stored;
      const size_t first = static_cast<size_t>(stored) * rowBytes;
      for (int x = 0; x < shape.Width; ++x) {
        const auto i = static_cast<size_t>(x);
        if (shape.Bits <= 8) {
          varnock::test::PutPackedSample(pixels, first, i, shape.Bits,
                                         static_cast<uint32_t>(x + 3 * y));
        } else if (shape.Bits == 16) {  // 5-5-5
          Put16(pixels, first + 2 * i,
                static_cast<uint32_t>((x & 31) << 10 | (y & 31) << 5 | ((x + y) & 31)));
        } else {
          const size_t step = static_cast<size_t>(shape.Bits / 8);
          pixels[first + step * i] = static_cast<uint8_t>(8 * (x + y));
          pixels[first + step * i + 1] = static_cast<uint8_t>(8 * y);
          pixels[first + step * i + 2] = static_cast<uint8_t>(8 * x);
          if (step == 4) pixels[first + step * i + 3] = 0xFF;
        }
      }
    }
  }
  std::vector<uint8_t> file(tableEnd, 0);
  file[0] = 'B';
  file[1] = 'M';
  Put32(file, 2, static_cast<uint32_t>(tableEnd + pixels.size()));
  Put32(file, 10, static_cast<uint32_t>(tableEnd));
  Put32(file, 14, 40);
  Put32(file, 18, static_cast<uint32_t>(shape.Width));
  Put32(file, 22, static_cast<uint32_t>(shape.Height));
  Put16(file, 26, 1);
  Put16(file, 28, static_cast<uint32_t>(shape.Bits));
  Put32(file, 30, shape.RunLength ? 1 : 0);
  Put32(file, 34, static_cast<uint32_t>(pixels.size()));
  for (uint32_t i = 0; i < colours; ++i) {
    const size_t at = 54 + 4 * size_t{i};
    file[at] = static_cast<uint8_t>(i * 5);
    file[at + 1] = static_cast<uint8_t>(255 - i);
    file[at + 2] = static_cast<uint8_t>(i * 3);
  }
  file.insert(file.end(), pixels.begin(), pixels.end());
  return file;
}

// A PNG file of `colourType` 0 (grey), 2 (RGB), 3 (palette), 4 (grey + alpha) or 6 (RGBA) at
// `bitDepth` (1, 2, 4, 8 or 16 as the type allows); palette pictures have a PLTE of `colours`
// entries (all the depth allows when 0) and a tRNS chunk, and their indices run over every
// value the depth holds, past a short table too.
std::vector<uint8_t> MakePng(int colourType, int bitDepth, int width, int height,
                             bool interlaced = false, uint32_t colours = 0) {
  varnock::test::PngPicture png;
  png.Width = static_cast<uint32_t>(width);
  png.Height = static_cast<uint32_t>(height);
  png.BitDepth = bitDepth;
  png.ColourType = colourType;
  png.Interlaced = interlaced;
  const int channels = varnock::test::PngChannels(colourType);
  const uint32_t top = bitDepth == 16 ? 0xFFFF : (1u << bitDepth) - 1;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      for (int c = 0; c < channels; ++c)
        png.Samples.push_back(static_cast<uint32_t>(x * 37 + y * 11 + c * 73) & top);
  if (colourType == 3) {
    for (uint32_t i = 0; i < (colours ? colours : top + 1); ++i) {
      png.Palette.insert(png.Palette.end(), {static_cast<uint8_t>(i * 7), static_cast<uint8_t>(i),
                                             static_cast<uint8_t>(255 - i)});
      png.Alpha.push_back(static_cast<uint8_t>(255 - i));
    }
  }
  return varnock::test::EncodePng(png);
}

bool Write(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
    return 2;
  }
  const std::string folder = argv[1];
  bool ok = true;
  int count = 0;
  for (const int bits : {1, 4, 8, 16, 24, 32})
    for (const int height : {9, -9}) {
      const std::string name =
          "seed-bmp-" + std::to_string(bits) + (height < 0 ? "-top-down.bmp" : "-bottom-up.bmp");
      ok &= Write(folder + "/" + name, MakeBitmap({bits, 11, height, false}));
      ++count;
    }
  ok &= Write(folder + "/seed-bmp-8-run-length.bmp", MakeBitmap({8, 11, 9, true}));
  ++count;
  const std::pair<int, std::vector<int>> kPngDepths[] = {
      {0, {1, 2, 4, 8, 16}}, {2, {8, 16}}, {3, {1, 2, 4, 8}}, {4, {8, 16}}, {6, {8, 16}}};
  for (const auto& [type, depths] : kPngDepths)
    for (const int depth : depths) {
      const std::string name =
          "seed-png-type" + std::to_string(type) + "-" + std::to_string(depth) + ".png";
      ok &= Write(folder + "/" + name, MakePng(type, depth, 10, 9));
      ++count;
    }
  // Indexed PNGs go through libpng's rows: interlaced ones, and ones whose indices pass a
  // four-colour table.
  for (const int depth : {1, 2, 4, 8}) {
    const std::string name = "seed-png-type3-" + std::to_string(depth);
    ok &= Write(folder + "/" + name + "-interlaced.png", MakePng(3, depth, 13, 11, true));
    ok &= Write(folder + "/" + name + "-short-table.png", MakePng(3, depth, 10, 9, false, 4));
    count += 2;
  }
  std::printf("%d picture seeds in %s\n", count, folder.c_str());
  return ok ? 0 : 1;
}
