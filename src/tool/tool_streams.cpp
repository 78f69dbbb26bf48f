// decompress, compress and scan: compressed streams between an image and files, through the
// core's compressors and the editor's scan.
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>

#include "compression/scan_presets.h"
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

// The formats a scan looks for: those LIST names, every format for "all", or by default those
// the editor's scan dialog ticks for the image's extension.
std::vector<CompressionFormat> ScanFormats(const ParsedArguments& arguments,
                                           const RomDocument& doc) {
  const std::string* list = arguments.Value("--formats");
  if (!list) return ScanFormatsForExtension(doc.RomExt);
  std::vector<CompressionFormat> formats;
  if (*list == "all") {
    for (const CompressionFormatInfo& info : AllCompressionFormats())
      formats.push_back(info.Format);
    return formats;
  }
  for (std::string_view name : SplitText(*list, ',')) {
    const CompressionFormat format = CompressionNamed(name, kScan);
    if (std::find(formats.begin(), formats.end(), format) == formats.end())
      formats.push_back(format);
  }
  return formats;
}

// How far a scan has come, on standard error when that is a terminal and the scan takes more
// than a second: one line, drawn again in place and cleared when the scan ends.
class ScanProgressLine {
 public:
  explicit ScanProgressLine(std::string_view path)
      : path_(path), terminal_(isatty(STDERR_FILENO) == 1), start_(Clock::now()) {}
  ~ScanProgressLine() {
    if (shown_) std::fputs("\r\033[K", stderr);
  }
  ScanProgressLine(const ScanProgressLine&) = delete;
  ScanProgressLine& operator=(const ScanProgressLine&) = delete;

  bool operator()(size_t done, size_t total) {
    if (!terminal_ || total == 0) return true;
    const Clock::time_point now = Clock::now();
    if (now - start_ < std::chrono::seconds(1) || now - drawn_ < std::chrono::milliseconds(100))
      return true;
    drawn_ = now;
    shown_ = true;
    std::fprintf(stderr, "\r%s: scanning %.*s: %3d%%", kToolName, static_cast<int>(path_.size()),
                 path_.data(), static_cast<int>(uint64_t{done} * 100 / total));
    std::fflush(stderr);
    return true;
  }

 private:
  using Clock = std::chrono::steady_clock;
  std::string_view path_;
  bool terminal_;
  bool shown_ = false;
  Clock::time_point start_;
  Clock::time_point drawn_{};
};

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
  size_t minimumSize = kDefaultMinimumStreamSize;
  if (const std::string* text = arguments.Value("--min-size")) {
    const int64_t value = NumberText(*text, kScan, "the minimum size");
    if (value < 0) BadUsage(kScan, "the minimum size cannot be negative");
    minimumSize = static_cast<size_t>(value);
  }
  const int threshold = arguments.Has("--all") ? kLowestScore : kDefaultScoreThreshold;
  RomDocument doc;
  LoadImageFile(romPath, doc);
  const std::vector<CompressionFormat> formats = ScanFormats(arguments, doc);
  // Scored as tiles of the format the editor shows the image in.
  const ScanOptions options{static_cast<size_t>(std::max(doc.TileBytes, 1))};
  std::vector<StreamFind> finds;
  {
    ScanProgressLine progress(romPath);
    finds = ScanForStreams(ImageBytes(doc), formats, options, std::ref(progress));
  }
  const size_t found = finds.size();
  std::erase_if(finds,
                [&](const StreamFind& f) { return !IsFindShown(f, threshold, minimumSize); });
  const bool json = arguments.Has("--json");
  if (json) std::fputs(finds.empty() ? "[]\n" : "[\n", stdout);
  for (size_t i = 0; i < finds.size(); ++i) {
    const StreamFind& find = finds[i];
    const char* name = CompressionInfo(find.Format).ShortName;
    if (json) {
      std::printf(
          "  {\"offset\": %zu, \"format\": \"%s\", \"compressed\": %zu, "
          "\"decompressed\": %zu, \"score\": %d}%s\n",
          find.Offset, name, find.CompressedLength, find.DecompressedLength, find.Score,
          i + 1 < finds.size() ? "," : "");
    } else {
      std::printf("0x%08zX %-8s %8zu %8zu %3d\n", find.Offset, name, find.CompressedLength,
                  find.DecompressedLength, find.Score);
    }
  }
  if (json && !finds.empty()) std::fputs("]\n", stdout);
  std::fflush(stdout);
  if (found > finds.size()) {
    if (threshold > kLowestScore) {
      std::fprintf(stderr,
                   "%s: %s: %zu streams left out, scoring below %d or giving fewer than %zu "
                   "bytes (--all, --min-size)\n",
                   kToolName, romPath.c_str(), found - finds.size(), threshold, minimumSize);
    } else {
      std::fprintf(stderr,
                   "%s: %s: %zu streams left out, giving fewer than %zu bytes (--min-size)\n",
                   kToolName, romPath.c_str(), found - finds.size(), minimumSize);
    }
  }
  return kToolSucceeded;
}

}  // namespace varnock
