// Feeds arbitrary bytes to every palette reader and to the bounded decompression, and writes
// back whatever a reader accepted. Every colour a reader produces is exactly representable in
// the format it reports, so a write followed by a read must give the same entries again.
//
// The first byte chooses how the rest is presented: as it is to every reader, or first packed
// by the harness into the container a compressed state uses (gzip for Snes9x, a zlib body for
// FCEUX, a PNG chunk for mGBA), so the readers behind the decompression see varied input too.
#include <zlib.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "io/inflate_stream.h"
#include "palette/act_file.h"
#include "palette/fceux_state.h"
#include "palette/genesis_state.h"
#include "palette/gpl_file.h"
#include "palette/jasc_pal_file.h"
#include "palette/memory_dump.h"
#include "palette/mgba_state.h"
#include "palette/nesticle_state.h"
#include "palette/riff_pal_file.h"
#include "palette/rom_palette.h"
#include "palette/snes9x_state.h"
#include "palette/video_memory.h"
#include "palette/vrk_file.h"
#include "palette/zsnes_state.h"

namespace {

using Bytes = std::vector<uint8_t>;

void Check(bool condition) {
  if (!condition) std::abort();
}

void CheckShape(const varnock::PaletteReadResult& read) {
  if (!read.ok()) {
    Check(read.Data.Entries.empty());
    return;
  }
  const varnock::PaletteFileData& data = read.Data;
  Check(data.PaletteSize >= 0 && data.PaletteSize <= varnock::kPaletteEntries);
  Check(data.Entries.size() == static_cast<size_t>(data.PaletteSize));
}

varnock::PaletteTable TableOf(const varnock::PaletteFileData& data) {
  varnock::PaletteTable table{};
  for (size_t k = 0; k < data.Entries.size(); ++k) table[k] = data.Entries[k];
  return table;
}

void CheckVrkRoundTrip(const varnock::PaletteReadResult& read) {
  CheckShape(read);
  if (!read.ok()) return;
  const varnock::PaletteFileData& data = read.Data;
  const Bytes bytes = varnock::EncodeVrkPalette(TableOf(data), data.PalFormat, data.PaletteSize);
  const varnock::PaletteReadResult again = varnock::ParseVrkPalette(bytes);
  Check(again.ok());
  Check(again.Data.PalFormat == data.PalFormat);
  Check(again.Data.PaletteSize == data.PaletteSize);
  Check(again.Data.Entries == data.Entries);
}

// An RGB palette file read back after writing gives the same colours.
void CheckRgbRoundTrip(const varnock::PaletteReadResult& read,
                       Bytes (*encode)(std::span<const varnock::PaletteEntry>),
                       varnock::PaletteReadResult (*parse)(std::span<const uint8_t>)) {
  CheckShape(read);
  if (!read.ok()) return;
  Check(read.Data.PalFormat == varnock::kPaletteRgb);
  const Bytes bytes = encode(read.Data.Entries);
  const varnock::PaletteReadResult again = parse(bytes);
  Check(again.ok());
  Check(again.Data.Entries == read.Data.Entries);
}

Bytes EncodeGpl(std::span<const varnock::PaletteEntry> entries) {
  return varnock::EncodeGplPalette(entries, "fuzz");
}

Bytes Deflate(std::span<const uint8_t> bytes, int windowBits) {
  z_stream zs{};
  if (deflateInit2(&zs, 1, Z_DEFLATED, windowBits, 8, Z_DEFAULT_STRATEGY) != Z_OK) std::abort();
  Bytes out(deflateBound(&zs, bytes.size()) + 32);
  zs.next_in = const_cast<Bytef*>(bytes.data());
  zs.avail_in = static_cast<uInt>(bytes.size());
  zs.next_out = out.data();
  zs.avail_out = static_cast<uInt>(out.size());
  Check(deflate(&zs, Z_FINISH) == Z_STREAM_END);
  out.resize(zs.total_out);
  deflateEnd(&zs);
  return out;
}

void PutLe32(Bytes& out, uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<uint8_t>(value >> shift));
}
void PutBe32(Bytes& out, uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(value >> shift));
}

Bytes FceuxAround(std::span<const uint8_t> body) {
  Bytes out = {'F', 'C', 'S', 'X'};
  PutLe32(out, static_cast<uint32_t>(body.size()));
  PutLe32(out, 22020);
  const Bytes packed = Deflate(body, 15);
  PutLe32(out, static_cast<uint32_t>(packed.size()));
  out.insert(out.end(), packed.begin(), packed.end());
  return out;
}

Bytes PngAround(std::span<const uint8_t> state) {
  Bytes out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  Bytes chunk = {'g', 'b', 'A', 's'};
  const Bytes packed = Deflate(state, 15);
  chunk.insert(chunk.end(), packed.begin(), packed.end());
  PutBe32(out, static_cast<uint32_t>(packed.size()));
  out.insert(out.end(), chunk.begin(), chunk.end());
  PutBe32(out, static_cast<uint32_t>(crc32(0, chunk.data(), static_cast<uInt>(chunk.size()))));
  return out;
}

void FeedEveryReader(std::span<const uint8_t> bytes) {
  CheckVrkRoundTrip(varnock::ParseVrkPalette(bytes));
  CheckVrkRoundTrip(varnock::ParseNesticleState(bytes));
  CheckVrkRoundTrip(varnock::ParseZsnesState(bytes));
  CheckVrkRoundTrip(varnock::ParseSnes9xState(bytes));
  CheckVrkRoundTrip(varnock::ParseFceuxState(bytes));
  CheckVrkRoundTrip(varnock::ParseMgbaState(bytes));
  CheckVrkRoundTrip(varnock::ParseGenesisState(bytes));
  CheckVrkRoundTrip(varnock::ParseMemoryDump(bytes));
  // Video memory, by every kind's reader: what it gives lies inside the state.
  for (const char* ext : {".ST0", ".ZST", ".BIN"}) {
    const varnock::VideoMemoryRead video = varnock::ParseVideoMemory(bytes, ext);
    Check(video.ok() || video.Bytes.empty());
  }
  CheckRgbRoundTrip(varnock::ParseActPalette(bytes), varnock::EncodeActPalette,
                    varnock::ParseActPalette);
  CheckRgbRoundTrip(varnock::ParseGplPalette(bytes), EncodeGpl, varnock::ParseGplPalette);
  CheckRgbRoundTrip(varnock::ParseJascPalette(bytes), varnock::EncodeJascPalette,
                    varnock::ParseJascPalette);
  CheckRgbRoundTrip(varnock::ParseRiffPalette(bytes), varnock::EncodeRiffPalette,
                    varnock::ParseRiffPalette);
  if (!bytes.empty()) {
    // A ROM window's read: offset and count from the first bytes, the rest is the image.
    const int64_t offset = static_cast<int64_t>(bytes[0]) * 7 - 20;
    const varnock::PaletteReadResult read =
        varnock::ReadPaletteFromImage(bytes, offset, bytes[0] % 4, bytes[0]);
    CheckVrkRoundTrip(read);
    if (read.ok()) Check(read.Data.Entries.size() <= bytes.size());
  }
  // Decompression of whatever the bytes are, under a small limit so the bound is exercised.
  for (varnock::StreamWrapper wrapper :
       {varnock::StreamWrapper::Zlib, varnock::StreamWrapper::Gzip}) {
    const varnock::InflateResult unpacked = varnock::InflateStream(bytes, wrapper, 1u << 16);
    Check(unpacked.Bytes.size() <= (1u << 16));
    Check(unpacked.ok() || unpacked.Bytes.empty());
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const std::span<const uint8_t> rest(data + 1, size - 1);
  switch (data[0] % 4) {
    case 0:
      FeedEveryReader(rest);
      break;
    case 1:
      CheckVrkRoundTrip(varnock::ParseSnes9xState(Deflate(rest, 15 + 16)));
      Check(varnock::ParseSnes9xVideoMemory(Deflate(rest, 15 + 16)).Bytes.size() <= 0x10000);
      break;
    case 2:
      CheckVrkRoundTrip(varnock::ParseFceuxState(FceuxAround(rest)));
      Check(varnock::ParseFceuxVideoMemory(FceuxAround(rest)).Bytes.size() <= rest.size());
      break;
    case 3:
      CheckVrkRoundTrip(varnock::ParseMgbaState(PngAround(rest)));
      Check(varnock::ParseMgbaVideoMemory(PngAround(rest)).Bytes.size() <= 0x18000);
      break;
  }
  return 0;
}
