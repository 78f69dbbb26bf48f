// Writes valid pictures into a corpus folder, so that the picture fuzzer starts from files its
// readers accept: BMPs of every depth, bottom-up and top-down, one run-length BMP, and PNGs of
// every colour type at every depth the type allows.
// usage: picture_seeds FOLDER
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "support/picture_files.h"

namespace {

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
  using varnock::test::MakeBitmap;
  using varnock::test::MakePng;
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
