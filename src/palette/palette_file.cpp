#include "palette/palette_file.h"

#include <algorithm>
#include <cstring>

#include "io/file_io.h"
#include "palette/act_file.h"
#include "palette/fceux_state.h"
#include "palette/genesis_state.h"
#include "palette/gpl_file.h"
#include "palette/jasc_pal_file.h"
#include "palette/memory_dump.h"
#include "palette/mgba_state.h"
#include "palette/nesticle_state.h"
#include "palette/riff_pal_file.h"
#include "palette/snes9x_state.h"
#include "palette/vrk_file.h"
#include "palette/zsnes_state.h"

namespace varnock {
namespace {

using Parser = PaletteReadResult (*)(std::span<const uint8_t>);

// The reader a file's first bytes ask for, or null.
Parser ReaderBySignature(std::span<const uint8_t> bytes) {
  if (LooksLikeSnes9xState(bytes)) return ParseSnes9xState;
  if (LooksLikeFceuxState(bytes)) return ParseFceuxState;
  if (LooksLikePng(bytes) || LooksLikeMgbaRawState(bytes)) return ParseMgbaState;
  if (LooksLikeGenesisState(bytes)) return ParseGenesisState;
  if (LooksLikeGplPalette(bytes)) return ParseGplPalette;
  if (LooksLikeJascPalette(bytes)) return ParseJascPalette;
  if (LooksLikeRiffPalette(bytes)) return ParseRiffPalette;
  return nullptr;
}

// The reader a file's extension asks for, or null.
Parser ReaderByExtension(const std::string& ext) {
  if (IsStateSlot(ext, ".00") || ext == ".FRZ") return ParseSnes9xState;
  if (IsStateSlot(ext, ".FC")) return ParseFceuxState;
  if (IsStateSlot(ext, ".SS")) return ParseMgbaState;
  if (IsStateSlot(ext, ".GS")) return ParseGenesisState;
  if (ext == ".ACT") return ParseActPalette;
  if (ext == ".GPL") return ParseGplPalette;
  // Both kinds of ".pal" have a signature; one without either is neither.
  if (ext == ".PAL") return ParseJascPalette;
  return nullptr;
}

}  // namespace

bool IsStateSlot(const std::string& ext, const char* stem) {
  const size_t stemLength = std::strlen(stem);
  return ext.size() == stemLength + 1 && ext.compare(0, stemLength, stem) == 0 &&
         ext.back() >= '0' && ext.back() <= '9';
}

PaletteFileError ReadPaletteFileBytes(const std::string& path, std::vector<uint8_t>& out) {
  out.clear();
  return ReadWholeFile(path, out, kMaxPaletteFileBytes) ? PaletteFileError::None
                                                        : PaletteFileError::CannotOpen;
}

PaletteReadResult LoadPaletteFileWith(const std::string& path, Parser parse) {
  std::vector<uint8_t> bytes;
  const PaletteFileError error = ReadPaletteFileBytes(path, bytes);
  if (error != PaletteFileError::None) return PaletteReadFailure(error);
  return parse(bytes);
}

PaletteReadResult ReadPaletteFile(const std::string& path) {
  // Save states keep their emulator's numbered slots in the last character (.ST0, .ZS1, ...),
  // so only their first three characters choose the reader.
  const std::string ext = UpperExtension(path);
  if (ext == ".VRK") return LoadVrkPalette(path);
  if (ext.starts_with(".ST")) return LoadNesticleState(path);
  if (ext.starts_with(".ZS")) return LoadZsnesState(path);

  std::vector<uint8_t> bytes;
  const PaletteFileError error = ReadPaletteFileBytes(path, bytes);
  if (error != PaletteFileError::None) return PaletteReadFailure(error);
  if (const Parser parse = ReaderBySignature(bytes)) return parse(bytes);
  if (const Parser parse = ReaderByExtension(ext)) return parse(bytes);
  if (IsMemoryDumpSize(bytes.size())) return ParseMemoryDump(bytes);
  return PaletteReadFailure(PaletteFileError::UnknownExtension);
}

PaletteFileKind PaletteFileKindFor(const std::string& path) {
  const std::string ext = UpperExtension(path);
  if (ext == ".ACT") return PaletteFileKind::Act;
  if (ext == ".GPL") return PaletteFileKind::Gpl;
  if (ext == ".PAL") {
    // A RIFF palette stays one when it is saved again.
    std::vector<uint8_t> bytes;
    const bool riff =
        ReadWholeFile(path, bytes, kMaxPaletteFileBytes) && LooksLikeRiffPalette(bytes);
    return riff ? PaletteFileKind::RiffPal : PaletteFileKind::JascPal;
  }
  return PaletteFileKind::Vrk;
}

bool IsPaletteFilePath(const std::string& path) {
  const std::string ext = UpperExtension(path);
  return ext == ".VRK" || ext == ".ACT" || ext == ".GPL" || ext == ".PAL";
}

PaletteWriteResult WritePaletteFile(const std::string& path, const PaletteTable& palette,
                                    PaletteFormat format, int32_t paletteSize,
                                    PaletteFileKind kind) {
  const std::span<const PaletteEntry> entries = PaletteEntriesToWrite(palette, paletteSize);
  switch (kind) {
    case PaletteFileKind::Act:
      return SaveActPalette(path, entries);
    case PaletteFileKind::Gpl:
      return SaveGplPalette(path, entries);
    case PaletteFileKind::JascPal:
      return SaveJascPalette(path, entries);
    case PaletteFileKind::RiffPal:
      return SaveRiffPalette(path, entries);
    case PaletteFileKind::Vrk:
      break;
  }
  return SaveVrkPalette(path, palette, format, paletteSize);
}

PaletteWriteResult WritePaletteFile(const std::string& path, const PaletteTable& palette,
                                    PaletteFormat format, int32_t paletteSize) {
  return WritePaletteFile(path, palette, format, paletteSize, PaletteFileKindFor(path));
}

PaletteWriteResult WritePaletteBytes(const std::string& path, std::span<const uint8_t> bytes) {
  FileWriteResult written = WriteFileSafely(path, bytes);
  if (written.Ok) return {};
  return {PaletteFileError::CannotWrite, std::move(written.Reason)};
}

PaletteFileError PaletteErrorOf(InflateError error) {
  switch (error) {
    case InflateError::None:
      return PaletteFileError::None;
    case InflateError::Truncated:
      return PaletteFileError::TooShort;
    case InflateError::TooLarge:
      return PaletteFileError::TooLarge;
    case InflateError::Damaged:
      break;
  }
  return PaletteFileError::Damaged;
}

PaletteReadResult PaletteReadFailure(PaletteFileError error) {
  PaletteReadResult result;
  result.Error = error;
  return result;
}

PaletteReadResult RgbPaletteResult(std::vector<PaletteEntry> entries) {
  if (entries.size() > kPaletteEntries) entries.resize(kPaletteEntries);
  PaletteReadResult result;
  result.Data.PalFormat = kPaletteRgb;
  result.Data.PaletteSize = static_cast<int32_t>(entries.size());
  result.Data.Entries = std::move(entries);
  return result;
}

std::span<const PaletteEntry> PaletteEntriesToWrite(const PaletteTable& palette,
                                                    int32_t paletteSize) {
  return std::span<const PaletteEntry>(palette).first(
      static_cast<size_t>(std::clamp(paletteSize, 0, kPaletteEntries)));
}

const char* PaletteFileErrorText(PaletteFileError error) {
  switch (error) {
    case PaletteFileError::None:
      return "The palette was read.";
    case PaletteFileError::CannotOpen:
      return "The palette file could not be opened.";
    case PaletteFileError::UnknownExtension:
      return "The file is neither a palette file nor a known save state.";
    case PaletteFileError::NotVarnockPalette:
      return "Error: Palette is not a valid Varnock Pro palette.";
    case PaletteFileError::TooShort:
      return "The file ends before its palette does.";
    case PaletteFileError::CannotWrite:
      return "The palette file could not be written.";
    case PaletteFileError::WrongSignature:
      return "The file is not of the kind its name says.";
    case PaletteFileError::Damaged:
      return "The file is damaged.";
    case PaletteFileError::UnknownVersion:
      return "The save state comes from an emulator version whose layout is not known.";
    case PaletteFileError::TooLarge:
      return "The compressed data unpacks to more than a palette file may hold.";
  }
  return "Unknown palette file error.";
}

PaletteReadResult ParsePaletteEntries(std::span<const uint8_t> bytes, size_t offset, int32_t count,
                                      PaletteFormat format) {
  PaletteReadResult result;
  const size_t entryBytes = static_cast<size_t>(PaletteEntryBytesOf(format));
  const size_t entries = static_cast<size_t>(std::max(count, 0));
  if (offset > bytes.size() || (bytes.size() - offset) / entryBytes < entries) {
    result.Error = PaletteFileError::TooShort;
    return result;
  }
  result.Data.PalFormat = format;
  result.Data.PaletteSize = static_cast<int32_t>(entries);
  result.Data.Entries.reserve(entries);
  for (size_t k = 0; k < entries; ++k)
    result.Data.Entries.push_back(
        DecodePaletteEntry(format, bytes.data() + offset + k * entryBytes));
  return result;
}

}  // namespace varnock
