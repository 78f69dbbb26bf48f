// decompress, compress and scan: compressed streams between an image and files, through the
// core's compressors and the editor's scan.
#include <algorithm>
#include <cstdio>

#include "compression/stream_scan.h"
#include "tool/tool_commands.h"
#include "tool/tool_files.h"
#include "tool/tool_options.h"
#include "tool/tool_report.h"

namespace varnock {
namespace {

constexpr const char* kDecompress = "decompress";
constexpr const char* kCompress = "compress";
constexpr const char* kScan = "scan";

const std::string& OutputOption(const ParsedArguments& arguments, std::string_view command) {
  const std::string* out = arguments.Value("-o");
  if (!out) BadUsage(command, "-o OUT names the file to write");
  return *out;
}

std::vector<CompressionFormat> FormatList(std::string_view list) {
  std::vector<CompressionFormat> formats;
  for (std::string_view name : SplitText(list, ',')) {
    const CompressionFormat format = CompressionNamed(name, kScan);
    if (std::find(formats.begin(), formats.end(), format) == formats.end())
      formats.push_back(format);
  }
  return formats;
}

}  // namespace

int RunDecompress(const ParsedArguments& arguments) {
  if (arguments.Operands.size() != 3) BadUsage(kDecompress, "it takes ROM, OFFSET and FORMAT");
  const std::string& romPath = arguments.Operands[0];
  const int64_t offset = NumberText(arguments.Operands[1], kDecompress, "the offset");
  const CompressionFormat format = CompressionNamed(arguments.Operands[2], kDecompress);
  const std::string& out = OutputOption(arguments, kDecompress);
  RomDocument doc;
  LoadImageFile(romPath, doc);
  const std::span<const uint8_t> image = ImageBytes(doc);
  if (offset >= static_cast<int64_t>(image.size()))
    FailOn(romPath, "The offset " + HexOffset(offset) + " lies past the end of the image (" +
                        std::to_string(image.size()) + " bytes).");
  const DecompressResult stream = Decompress(format, image.subspan(static_cast<size_t>(offset)));
  if (!stream.ok())
    FailOn(romPath, std::string("No ") + CompressionInfo(format).DisplayName +
                        " stream starts at " + HexOffset(offset) + ": " +
                        DecompressErrorText(stream.Error));
  WriteOutputFile(out, stream.Bytes);
  return kToolSucceeded;
}

int RunCompress(const ParsedArguments& arguments) {
  if (arguments.Operands.size() != 2) BadUsage(kCompress, "it takes IN and FORMAT");
  const std::string& inPath = arguments.Operands[0];
  const CompressionFormat format = CompressionNamed(arguments.Operands[1], kCompress);
  const std::string& out = OutputOption(arguments, kCompress);
  RomDocument doc;
  LoadImageFile(inPath, doc);
  const std::span<const uint8_t> data = ImageBytes(doc);
  const std::optional<std::vector<uint8_t>> compressed = Compress(format, data);
  if (!compressed)
    FailOn(inPath, std::string(CompressionInfo(format).DisplayName) + " cannot hold " +
                       std::to_string(data.size()) + " bytes" +
                       (data.size() > kMaxDecompressedBytes
                            ? " (streams hold at most " + std::to_string(kMaxDecompressedBytes) +
                                  ", as the decompressors read them)."
                            : "."));
  WriteOutputFile(out, *compressed);
  return kToolSucceeded;
}

int RunScan(const ParsedArguments& arguments) {
  if (arguments.Operands.size() != 1) BadUsage(kScan, "it takes ROM");
  const std::string& romPath = arguments.Operands[0];
  std::vector<CompressionFormat> formats;
  if (const std::string* list = arguments.Value("--formats")) {
    formats = FormatList(*list);
  } else {
    for (const CompressionFormatInfo& info : AllCompressionFormats())
      formats.push_back(info.Format);
  }
  RomDocument doc;
  LoadImageFile(romPath, doc);
  const std::vector<StreamFind> finds = ScanForStreams(ImageBytes(doc), formats);
  const bool json = arguments.Has("--json");
  if (json) std::fputs(finds.empty() ? "[]\n" : "[\n", stdout);
  for (size_t i = 0; i < finds.size(); ++i) {
    const StreamFind& find = finds[i];
    const char* name = CompressionInfo(find.Format).ShortName;
    if (json) {
      std::printf(
          "  {\"offset\": %zu, \"format\": \"%s\", \"compressed\": %zu, "
          "\"decompressed\": %zu}%s\n",
          find.Offset, name, find.CompressedLength, find.DecompressedLength,
          i + 1 < finds.size() ? "," : "");
    } else {
      std::printf("0x%08zX %-8s %8zu %8zu\n", find.Offset, name, find.CompressedLength,
                  find.DecompressedLength);
    }
  }
  if (json && !finds.empty()) std::fputs("]\n", stdout);
  return kToolSucceeded;
}

}  // namespace varnock
