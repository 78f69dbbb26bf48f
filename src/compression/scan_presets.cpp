#include "compression/scan_presets.h"

namespace varnock {

std::vector<CompressionFormat> ScanFormatsForExtension(std::string_view ext) {
  using enum CompressionFormat;
  if (ext == ".GBA") return {Lz10, Lz11, Rle30, Huffman};
  if (ext == ".SMC" || ext == ".SFC") return {Lz2, Lz1, Lz5, Lz3, Hal};
  if (ext == ".GB" || ext == ".GBC") return {Lz2, Lz5, Lz3, Hal};
  for (std::string_view sega : {".SMD", ".GEN", ".MD", ".BIN"})
    if (ext == sega) return {Nemesis, Kosinski};
  std::vector<CompressionFormat> all;
  for (const CompressionFormatInfo& info : AllCompressionFormats()) all.push_back(info.Format);
  return all;
}

}  // namespace varnock
