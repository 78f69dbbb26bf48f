// Writes valid pictures into a corpus folder, so that the picture fuzzer starts from files its
// readers accept: BMPs of every depth, bottom-up and top-down, one run-length BMP, and PNGs of
// every colour type at every depth the type allows, built byte by byte from their layouts.
// usage: picture_seeds FOLDER
#include <zlib.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace {

struct BitmapShape {
  int Bits = 8;  // 1, 4, 8, 16, 24 or 32
  int Width = 8;
  int Height = 8;          // negative: rows stored top-down
  bool RunLength = false;  // 8 bits only: every pixel a run of one, rows ended, bitmap ended
};

std::vector<uint8_t> Compressed(const std::vector<uint8_t>& bytes) {
  uLongf size = compressBound(static_cast<uLong>(bytes.size()));
  std::vector<uint8_t> out(size);
  if (compress2(out.data(), &size, bytes.data(), static_cast<uLong>(bytes.size()), 9) != Z_OK)
    std::abort();
  out.resize(size);
  return out;
}

void Put16(std::vector<uint8_t>& out, size_t at, uint32_t value) {
  out[at] = static_cast<uint8_t>(value);
  out[at + 1] = static_cast<uint8_t>(value >> 8);
}

void Put32(std::vector<uint8_t>& out, size_t at, uint32_t value) {
  Put16(out, at, value);
  Put16(out, at + 2, value >> 16);
}

void AppendBe32(std::vector<uint8_t>& out, uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(value >> shift));
}

void AppendChunk(std::vector<uint8_t>& png, const char* type, const std::vector<uint8_t>& data) {
  AppendBe32(png, static_cast<uint32_t>(data.size()));
  const size_t start = png.size();
  png.insert(png.end(), type, type + 4);
  png.insert(png.end(), data.begin(), data.end());
  AppendBe32(png, static_cast<uint32_t>(
                      crc32(0, png.data() + start, static_cast<uInt>(png.size() - start))));
}

// Sets `bits` bits of sample `index` in an MSB-first packed row.
void PutSample(std::vector<uint8_t>& row, size_t first, size_t index, int bits, uint32_t value) {
  if (bits == 8) {
    row[first + index] = static_cast<uint8_t>(value);
    return;
  }
  if (bits == 16) {  // big-endian, as PNG stores it
    row[first + 2 * index] = static_cast<uint8_t>(value >> 8);
    row[first + 2 * index + 1] = static_cast<uint8_t>(value);
    return;
  }
  const size_t bit = index * static_cast<size_t>(bits);
  const int shift = 8 - bits - static_cast<int>(bit % 8);
  row[first + bit / 8] |= static_cast<uint8_t>((value & ((1u << bits) - 1)) << shift);
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
          PutSample(pixels, first, i, shape.Bits, static_cast<uint32_t>(x + 3 * y));
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
// `bitDepth` (1, 2, 4, 8 or 16 as the type allows), unfiltered rows in one zlib stream; palette
// pictures have a full PLTE and a tRNS chunk.
std::vector<uint8_t> MakePng(int colourType, int bitDepth, int width, int height) {
  const int channels = colourType == 2 ? 3 : colourType == 4 ? 2 : colourType == 6 ? 4 : 1;
  const size_t rowBytes = (static_cast<size_t>(width) * channels * bitDepth + 7) / 8;
  const uint32_t top = bitDepth == 16 ? 0xFFFF : (1u << bitDepth) - 1;
  std::vector<uint8_t> raw;
  for (int y = 0; y < height; ++y) {
    const size_t first = raw.size() + 1;
    raw.resize(first + rowBytes, 0);  // filter type 0, then the samples
    for (int x = 0; x < width; ++x)
      for (int c = 0; c < channels; ++c)
        PutSample(raw, first, static_cast<size_t>(x * channels + c), bitDepth,
                  static_cast<uint32_t>(x * 37 + y * 11 + c * 73) & top);
  }
  std::vector<uint8_t> png{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  std::vector<uint8_t> header;
  AppendBe32(header, static_cast<uint32_t>(width));
  AppendBe32(header, static_cast<uint32_t>(height));
  header.insert(header.end(),
                {static_cast<uint8_t>(bitDepth), static_cast<uint8_t>(colourType), 0, 0, 0});
  AppendChunk(png, "IHDR", header);
  if (colourType == 3) {
    std::vector<uint8_t> palette, alpha;
    for (uint32_t i = 0; i <= top; ++i) {
      palette.insert(palette.end(), {static_cast<uint8_t>(i * 7), static_cast<uint8_t>(i),
                                     static_cast<uint8_t>(255 - i)});
      alpha.push_back(static_cast<uint8_t>(255 - i));
    }
    AppendChunk(png, "PLTE", palette);
    AppendChunk(png, "tRNS", alpha);
  }
  AppendChunk(png, "IDAT", Compressed(raw));
  AppendChunk(png, "IEND", {});
  return png;
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
  std::printf("%d picture seeds in %s\n", count, folder.c_str());
  return ok ? 0 : 1;
}
