// export and import against what a ROM window does with the same file: the picture of a whole
// page exported from the window, and a picture pasted at the page's first cell and saved. For
// every fixed format and every kind of arrangement.
#include <gtest/gtest.h>

#include "codec/bitmap_file.h"
#include "codec/format_names.h"
#include "document/block_transfer.h"
#include "document/view_names.h"
#include "palette/palette_file.h"
#include "pictures/picture_file.h"
#include "support/test_files.h"
#include "support/tool_run.h"

namespace varnock {
namespace {

using test::PatternBytes;
using test::ReadFile;
using test::RunTool;
using test::TempDir;

constexpr int64_t kOffset = 0x1235;  // odd, so a tile-aligned guess would show
constexpr const char* kArrangements[] = {"8x8", "8x16", "16x16", "cols:4x4", "rows:2x8"};

// A window on `path` in `format` and `arrangement`, 16 x 8 tiles from kOffset.
RomDocument Window(const std::string& path, TileFormat format, const char* arrangement) {
  RomDocument doc;
  EXPECT_EQ(doc.LoadRom(path), kLoadLoaded);
  doc.SetTileFormat(format);
  if (doc.Format != format) {  // the 8-bit formats, set as the window will once it offers them
    doc.Format = format;
    doc.BitsPerPixel = TileFormatInfo(format).BitsPerPixel;
    doc.TileBytes = TileFormatInfo(format).TileBytes;
  }
  doc.Columns = 16;
  doc.Rows = 8;
  doc.SetArrangement(*ParseArrangementName(arrangement));
  doc.ViewOffset = kOffset;
  doc.UpdateStrides();
  EXPECT_EQ(doc.ViewOffset, kOffset);
  return doc;
}

class TileTransferTest : public ::testing::TestWithParam<std::tuple<int, const char*>> {};

TEST_P(TileTransferTest, ExportAndImportAreTheWindowsExportAndPaste) {
  const TileFormat format = static_cast<TileFormat>(std::get<0>(GetParam()));
  const char* arrangement = std::get<1>(GetParam());
  const int32_t bits = TileFormatInfo(format).BitsPerPixel;
  TempDir dir;
  const std::vector<uint8_t> image = PatternBytes(0x8000, 7 + format);
  const std::string rom = dir.Write("rom.bin", image);
  PaletteTable palette{};
  const std::vector<uint8_t> colours = PatternBytes(3 * 256, 99);
  for (size_t i = 0; i < palette.size(); ++i)
    palette[i] = MakeEntry(colours[3 * i], colours[3 * i + 1], colours[3 * i + 2]);
  ASSERT_TRUE(WritePaletteFile(dir.File("colours.act"), palette, kPaletteRgb, 256).ok());
  const int32_t subPalette = bits < 8 ? 1 : 0;
  const std::vector<std::string> place = {"--format", kFormatShortNames[format], "--offset",
                                          "0x1235",   "--arrangement",           arrangement};
  auto command = [&](std::vector<std::string> words) {
    words.insert(words.end(), place.begin(), place.end());
    return RunTool(dir, words);
  };

  // The window's export of its whole page, in the sub-palette the palette editor gives it.
  RomDocument window = Window(rom, format, arrangement);
  window.DecodePage();
  CopyPaletteToColors(palette, FirstEntryOf(subPalette, SwatchCountOf(bits)), SwatchCountOf(bits),
                      window.ViewSurface.Colors);
  window.SelRight = window.Columns;
  window.SelBottom = window.Rows;
  const QByteArray shown =
      EncodePngBlock(window.ViewSurface, ExportBlock(window), PictureColorCount(bits));
  const test::ToolRun exported =
      command({"export", rom, dir.File("page.png"), "--tiles", "128", "--columns", "16",
               "--palette", dir.File("colours.act"), "--subpalette", std::to_string(subPalette)});
  ASSERT_EQ(exported.status, 0) << exported.err;
  EXPECT_EQ(ReadFile(dir.File("page.png")), std::vector<uint8_t>(shown.begin(), shown.end()));

  // Imported unchanged, the picture gives back the same bytes.
  ASSERT_EQ(command({"import", rom, dir.File("page.png"), "-o", dir.File("same.bin")}).status, 0);
  EXPECT_EQ(ReadFile(dir.File("same.bin")), image);

  // Other tiles land where the window's paste at the first cell puts them.
  TileSurface edit = window.ViewSurface;
  const std::vector<uint8_t> indices = PatternBytes(edit.Pixels.size(), 5);
  for (size_t p = 0; p < indices.size(); ++p)
    edit.Pixels[p] = static_cast<uint8_t>(indices[p] & (SwatchCountOf(bits) - 1));
  const QByteArray png = EncodePngBlock(edit, {0, 0, edit.Width(), edit.Height()}, 256);
  dir.Write("edit.png", std::vector<uint8_t>(png.begin(), png.end()));
  ASSERT_EQ(command({"import", rom, dir.File("edit.png"), "-o", dir.File("tool.bin")}).status, 0);
  RomDocument pasted = Window(rom, format, arrangement);
  ASSERT_TRUE(ReadPictureFile(dir.File("edit.png"), edit).Ok);
  CommitBlock(pasted, edit);
  ASSERT_TRUE(pasted.SaveRom(dir.File("window.bin")).Ok);
  EXPECT_EQ(ReadFile(dir.File("tool.bin")), ReadFile(dir.File("window.bin")));
  EXPECT_NE(ReadFile(dir.File("tool.bin")), image);
  EXPECT_EQ(ReadFile(rom), image);  // -o leaves the input as it was
}

INSTANTIATE_TEST_SUITE_P(EveryFormatAndArrangement, TileTransferTest,
                         ::testing::Combine(::testing::Range(0, kFixedTileFormatCount),
                                            ::testing::ValuesIn(kArrangements)),
                         [](const auto& info) {
                           std::string name =
                               std::string(kFormatShortNames[std::get<0>(info.param)]) + "_" +
                               std::get<1>(info.param);
                           for (char& c : name)
                             if (c == ':') c = '_';
                           return name;
                         });

}  // namespace
}  // namespace varnock
