// The subcommand table, the help texts (help2man makes the manual page from them), formats,
// and the dispatch from the command line.
#include "tool/tool_commands.h"

#include <cstdio>

#include "codec/codec_registry.h"
#include "document/view_names.h"
#include "palette/rom_palette.h"
#include "tool/tool_options.h"
#include "tool/tool_report.h"

#ifndef VARNOCK_VERSION
#define VARNOCK_VERSION "0"
#endif

namespace varnock {
namespace {

constexpr OptionSpec kExportOptions[] = {
    {"--help", false},       {"--format", true},     {"--offset", true},      {"--tiles", true},
    {"--length", true},      {"--columns", true},    {"--arrangement", true}, {"--palette", true},
    {"--palette-rom", true}, {"--subpalette", true}, {"--compressed", true},  {"--codec", true},
};
constexpr OptionSpec kImportOptions[] = {
    {"--help", false},       {"--format", true},       {"--offset", true},
    {"--arrangement", true}, {"--compressed", true},   {"-o", true},
    {"--quantize", false},   {"--palette", true},      {"--palette-rom", true},
    {"--subpalette", true},  {"--codec", true},        {"--by-colour", false},
    {"--clip", false},       {"--no-checksum", false}, {"--room", true},
    {"--fill", true},        {"--move-to", true},      {"--repoint", false},
};
constexpr OptionSpec kOutputOptions[] = {{"--help", false}, {"-o", true}};
constexpr OptionSpec kScanOptions[] = {{"--help", false},
                                       {"--formats", true},
                                       {"--json", false},
                                       {"--all", false},
                                       {"--min-size", true}};
constexpr OptionSpec kFindOptions[] = {
    {"--help", false},     {"--state", true},  {"--picture", true}, {"--tiles-at", true},
    {"--origin", true},    {"--format", true}, {"--formats", true}, {"--no-streams", false},
    {"--no-flips", false}, {"--json", false},  {"--codec", true},
};
constexpr OptionSpec kPaletteOptions[] = {
    {"--help", false}, {"--from", true}, {"--offset", true}, {"--count", true}, {"--to", true}};
constexpr OptionSpec kChecksumOptions[] = {{"--help", false}, {"--fix", false}, {"-o", true}};
constexpr OptionSpec kFormatsOptions[] = {{"--help", false}, {"--codec", true}};
constexpr OptionSpec kExtractOptions[] = {{"--help", false}, {"--only", false}};
constexpr OptionSpec kBuildOptions[] = {{"--help", false},    {"--only", false},
                                        {"-o", true},         {"--move", false},
                                        {"--repoint", false}, {"--no-checksum", false}};
constexpr OptionSpec kProjectOptions[] = {
    {"--help", false},   {"--rom", true},         {"--format", true},     {"--offset", true},
    {"--tiles", true},   {"--length", true},      {"--columns", true},    {"--arrangement", true},
    {"--palette", true}, {"--palette-rom", true}, {"--subpalette", true}, {"--compressed", true},
    {"--room", true},    {"--fill", true},        {"--png", true},        {"--codec", true},
};

constexpr const char* kExportHelp =
    R"(Usage: varnock-tool export ROM OUT.png [OPTION]...
Writes a block of tiles as an 8-bit indexed picture: PNG, or BMP when OUT does not end in
.png. Each pixel's index is the tile's value exactly; the colour table is the palette's
sub-palette, the other entries black. The block is a grid of C columns whose last row is filled
up with the tiles that follow; tiles past the end of the image or stream show index 0.

Options:
  --format F          tile format (default: the one the ROM's extension selects)
  --offset O          first byte of the block, or of the stream with --compressed (default 0)
  --tiles N           tiles to show (default: all up to the end of the image or stream)
  --length BYTES      bytes to show, rounded up to whole tiles, instead of --tiles
  --columns C         tiles per row of the picture, 1 to 2048 (default 16, or N when fewer)
  --arrangement A     order of the tiles on the grid (default 8x8)
  --compressed C      the tiles are the stream of compression C that starts at O
  --palette FILE      colours from a palette file, save state or dump the editor reads
  --palette-rom OFFSET:ENCODING:COUNT
                      colours read from the ROM itself
  --subpalette K      which sub-palette of 2^bits colours (default 0)
  --codec FILE        load an encoding description first, so that --format can name it (the
                      descriptions in the user's folder, as the editor loads them, are known
                      without it)
Without a palette option the palette file beside the ROM (its name ending in .VRK) is used when
it loads, else the built-in colours: the colours the editor shows the ROM in.
)";

constexpr const char* kImportHelp =
    R"(Usage: varnock-tool import ROM IN.png [OPTION]...
Writes the tiles of an indexed PNG or BMP into the ROM, as exported: cell (c, r) of the
picture's grid of whole 8 x 8 tiles goes to the tile the arrangement gives it, counted from O.
Indices are written as the file holds them (an indexed PNG's also past its colour table).
With --compressed, the tiles replace the start of the stream's decompressed bytes, which keep
their length, and the stream is compressed again into its place; when it no longer fits the
bytes it took, nothing is written. Nothing is written either when the picture's size is not
whole tiles, when its tiles reach past the end of the image or stream, or when they cover a
header checksum the save rewrites (the checksum command shows where they are), unless --clip
or --no-checksum say otherwise. The ROM is saved as the editor saves it (header checksums of
its extension, temporary file and rename), over ROM only when everything succeeded and nobody
changed ROM meanwhile.

Options:
  --format F          tile format (default: the one the ROM's extension selects)
  --offset O          first byte of the tiles, or of the stream with --compressed (default 0)
  --arrangement A     order of the tiles on the picture's grid (default 8x8)
  --compressed C      write into the stream of compression C that starts at O
  --room BYTES        with --compressed: the bytes the stream may take (default: what it takes
                      now; not less, nor past the end of the image). A shorter stream leaves
                      the fill byte in the rest of its room
  --fill BYTE         the byte a shorter stream leaves behind (default 0xFF when most of the
                      image's free space is 0xFF, else 0x00)
  --move-to OFFSET|auto
                      with --compressed: a stream that no longer fits its room is written at
                      OFFSET instead, or with auto at the first run of free bytes (0x00 or
                      0xFF) from the image's end large enough, 4-byte aligned for the GBA
                      formats; its old place stays as it was. Bytes there that are not free
                      space are refused. Standard output says where it now is
  --repoint           with --move-to in a GBA image: every 4-byte aligned word that points at
                      the old place (0x08000000 + offset, little-endian) points at the new one;
                      each is listed. Without it they are listed and left as they are
  -o OUT              write the result to OUT and leave ROM as it is
  --clip              write what fits: leave out the pixels that make no whole tile and the
                      tiles past the end, and say on standard error how many
  --no-checksum       write tiles over the header checksums too, and save without fixing
                      any checksum: the header stays as the image holds it
  --quantize          accept a picture that is not indexed, or uses indices the format cannot
                      hold, by matching each pixel's colour to the nearest colour of the
                      sub-palette (otherwise it is refused)
  --by-colour         give each pixel the index its colour has in the sub-palette (where two
                      entries share a colour, its own index or else the lower one); a colour
                      the sub-palette lacks is refused. For pictures whose colour table an
                      image editor renumbered: without it the tool takes the indices as they
                      are and says so on standard error
  --palette FILE, --palette-rom OFFSET:ENCODING:COUNT, --subpalette K
                      the colours --quantize and --by-colour match to, as for export
  --codec FILE        load an encoding description first, so that --format can name it
)";

constexpr const char* kDecompressHelp =
    R"(Usage: varnock-tool decompress ROM OFFSET FORMAT -o OUT
Writes the decompressed bytes of the stream of compression FORMAT that starts at OFFSET of ROM
to OUT. A stream that does not decode completely is refused with the reason.

Options:
  -o OUT              the file to write
)";

constexpr const char* kCompressHelp =
    R"(Usage: varnock-tool compress IN FORMAT -o OUT
Writes IN compressed as one stream of compression FORMAT to OUT: the shortest stream the
editor's compressor finds.

Options:
  -o OUT              the file to write
)";

constexpr const char* kScanHelp =
    R"(Usage: varnock-tool scan ROM [OPTION]...
Finds the compressed streams in ROM as the editor's scan does: every offset is tried, a stream
counts when it decodes completely to at least 64 bytes, and each gets a score from 0 to 100 of
how much it looks like graphics (in the tile format the ROM's extension selects). Prints one
line per stream in offset order: offset, compression, compressed length, decompressed length and
score. Streams that score below 50 or give fewer than 256 bytes are left out, as the editor's
list leaves them out, and standard error says how many. While a scan of more than a second runs,
standard error shows how far it has come when it is a terminal.

Options:
  --formats LIST      the compressions to look for, separated by commas, or all (default: the
                      ones the editor ticks for the ROM's extension)
  --all               list the streams that score below 50 too
  --min-size BYTES    leave out streams that give fewer bytes (default 256)
  --json              print a JSON array of {offset, format, compressed, decompressed, score}
)";

constexpr const char* kFindHelp =
    R"(Usage: varnock-tool find ROM (--state FILE | --picture FILE | --tiles-at OFFSET:COUNT)
       [OPTION]...
Finds where tiles lie in ROM, as the editor's tile search does: at every byte offset in every
tile format, also mirrored left to right, upside down or both, and inside every compressed
stream the scan finds with the compressions of ROM's console (those its list shows), in their
decompressed bytes. The tiles come from one source, each different tile once, tiles of one
colour left out:
  --state FILE        the video memory of an emulator save state (Snes9x, ZSNES, FCEUX,
                      NESticle, mGBA, Gens), read in its console's tile format
  --picture FILE      the 8 x 8 cells of a PNG or BMP, indexed or not; only which pixels share
                      a colour counts, so tiles drawn in other colours match
  --tiles-at OFFSET:COUNT
                      COUNT tiles of ROM from OFFSET in the format of --format; the other
                      places of these tiles are listed, not their own
Prints one line per place, the one holding most of the tiles (then most of them in order)
first: the offset of its first tile (in the stream's decompressed bytes for a stream), the tile
format, the stream as COMPRESSION:OFFSET or - for the raw image, the searched tiles there, how
many of them follow each other in order, the matching tiles, and the matches per orientation
(n straight, h mirrored, v upside down, hv both).

Options:
  --format F          ROM's tile format, searched first (default: by ROM's extension)
  --formats LIST      the tile formats to search, separated by commas (default: all)
  --origin X,Y        with --picture: the first cell's top-left pixel, each 0 to 7 (default 0,0)
  --no-streams        do not look inside compressed streams
  --no-flips          only the tiles as they are, not mirrored
  --json              print {searched_tiles, streams_searched, places: [{offset, format, stream,
                      tiles, in_order, matches, orientations, first_tile, first_orientation}]}
  --codec FILE        load an encoding description first, so that it is searched too
)";

constexpr const char* kPaletteHelp =
    R"(Usage: varnock-tool palette IN OUT [OPTION]...
Reads the palette IN as the editor loads one (its palette files, emulator save states, memory
dumps) and writes it to OUT as a palette file.

Options:
  --from ENCODING     read IN as entries in ENCODING instead, as from a ROM
  --offset O          with --from: where the entries start (default 0)
  --count N           with --from: how many entries, 1 to 256 (default 256, or as many as the
                      file holds)
  --to KIND           vrk (entries as IN encodes them), vrk:rgb, vrk:nes, vrk:bgr15, act, gpl,
                      jasc or riff (default: by OUT's extension, as the editor saves)
)";

constexpr const char* kChecksumHelp =
    R"(Usage: varnock-tool checksum ROM [OPTION]...
Prints the header checksums of ROM, what the image holds and whether they agree: those the
editor's save writes for ROM's extension (Game Boy: .gb and .gbc; GBA: .gba), and those of a
console's own header, which the editor leaves as they are: the SNES internal header (.smc,
.sfc; LoROM or HiROM as the header's map mode says, after a 512-byte copier header when the
size is 512 past a multiple of 1 KB), the Genesis header (.md, .gen, .smd, and .bin with
"SEGA" at 0x100: the 16-bit sum of the words from 0x200) and the "TMR SEGA" header of Master
System (.sms) and Game Gear (.gg) images. Without --fix, a disagreement ends with status 1.

Options:
  --fix               write them (the editor's save of the image, with the console header's
                      fields written first) and say what was written: "fixed: OFFSET OLD -> NEW"
  -o OUT              with --fix: write the result to OUT and leave ROM as it is
)";

constexpr const char* kFormatsHelp =
    R"(Usage: varnock-tool formats [--codec FILE]
Lists the names the other commands take: tile formats, arrangements, compressions, palette
kinds and palette encodings.

Options:
  --codec FILE        load an encoding description first, so that it is listed
)";

constexpr const char* kExtractHelp =
    R"(Usage: varnock-tool extract PROJECT [--only NAME...]
Writes the picture of each resource of the project file PROJECT (.vrkproj) as export writes it:
an 8-bit indexed PNG in the resource's palette, at the resource's png path (NAME.png beside the
project by default), creating folders as needed. Every picture is made before the first is
written: when one resource cannot be read, each failure is listed and nothing is written. A
picture that already holds the same bytes is left as it is.

Options:
  --only              only the resources named after PROJECT
)";

constexpr const char* kBuildHelp =
    R"(Usage: varnock-tool build PROJECT [-o OUT] [--move [--repoint]] [--only NAME...]
Reads the picture of each resource of the project file PROJECT and writes into the project's ROM
the tiles of those that changed, as import does: raw tiles at their offset, a compressed
resource compressed again into its stream's room. All or nothing: every write is planned first,
and when one resource fails (a picture missing, of another size, not indexed, with indices the
format cannot hold, tiles past the end of their place, a stream that no longer fits its room, a
write over the header's checksum fields, two resources writing other bytes into the same place)
every failure is listed and nothing is written. The ROM is saved once at
the end, as the editor saves it (header checksums of its extension). When no picture changed it
says "nothing changed", writes nothing and ends with status 0.

Options:
  -o OUT              write the result to OUT (also when nothing changed) and leave the ROM
  --only              only the resources named after PROJECT
  --move              a compressed resource that no longer fits its room goes to the last run
                      of free bytes (0x00 or 0xFF) that holds it; its old place stays as it was,
                      and without -o the project then names its new offset and room
  --repoint           with --move in a GBA image: the words that point at the old place
                      (0x08000000 + offset) point at the new one (without it they are listed)
  --no-checksum       write over the header fields the checksum rule rewrites, and leave the
                      header as it is (otherwise such a write is refused)
)";

constexpr const char* kProjectHelp =
    R"(Usage: varnock-tool project add PROJECT NAME --offset O [OPTION]...
Adds the resource NAME to the project file PROJECT, creating the project when it does not exist
(then --rom names its ROM). The options are those of export; paths are taken from where the tool
runs and written relative to the project. The resource is added only when its picture can be
made.

Options:
  --rom ROM           the ROM of a new project
  --offset O          first byte of the tiles, or of the stream with --compressed
  --format F, --tiles N, --length BYTES, --columns C, --arrangement A, --compressed C,
  --palette FILE, --palette-rom OFFSET:ENCODING:COUNT, --subpalette K, --codec FILE
                      as for export
  --room BYTES        with --compressed: the bytes the stream may take when it is built again
                      (default: those it takes now)
  --fill BYTE         with --compressed: what a shorter stream leaves in its room (default: the
                      byte of the image's free space)
  --png FILE          where the picture is kept (default: NAME.png beside the project)
)";

void PrintSection(const char* title) {
  std::printf("%s:\n", title);
}

void PrintName(const std::string& name, const std::string& description) {
  std::printf("  %-12s %s\n", name.c_str(), description.c_str());
}

constexpr ToolCommand kCommands[] = {
    {"export", kExportHelp, kExportOptions, RunExport},
    {"import", kImportHelp, kImportOptions, RunImport},
    {"decompress", kDecompressHelp, kOutputOptions, RunDecompress},
    {"compress", kCompressHelp, kOutputOptions, RunCompress},
    {"scan", kScanHelp, kScanOptions, RunScan},
    {"find", kFindHelp, kFindOptions, RunFind},
    {"palette", kPaletteHelp, kPaletteOptions, RunPalette},
    {"checksum", kChecksumHelp, kChecksumOptions, RunChecksum},
    {"formats", kFormatsHelp, kFormatsOptions, RunFormats},
    {"extract", kExtractHelp, kExtractOptions, RunExtract},
    {"build", kBuildHelp, kBuildOptions, RunBuild},
    {"project", kProjectHelp, kProjectOptions, RunProject},
};

constexpr const char* kOverview =
    R"(Usage: varnock-tool COMMAND [ARGUMENT]...
Tiles, pictures, compressed streams, palettes and header checksums of console ROM images, for
scripts and build files, with the operations of the Varnock Pro editor.

Commands:
  export      tiles to an indexed PNG or BMP
  import      an indexed PNG or BMP back into tiles, also into a compressed stream
  decompress  a compressed stream to a file
  compress    a file to a compressed stream
  scan        the compressed streams in an image
  find        where tiles of a save state, a picture or the image lie in it
  palette     a palette the editor reads to a palette file it writes
  checksum    the header checksums a save writes, shown or written
  formats     every name of a format, arrangement, compression and palette encoding
  extract     the pictures of a project's resources
  build       a project's changed pictures back into its ROM, all or nothing
  project     project add: a resource added to a project file

  --help      this text; varnock-tool COMMAND --help tells about one command
  --version   the version

The encodings described in the editor's folder (~/.local/share/Varnock Pro/codecs, or under
$XDG_DATA_HOME) are loaded first, as the editor loads them; a file refused there is named on
standard error and the command goes on.

Numbers are decimal, or hexadecimal after 0x. Names are read without regard to case. File
names are used as given. Exit status: 0 success, 1 failure (one line on standard error names
the file and the reason), 2 bad usage.
)";

}  // namespace

std::span<const ToolCommand> ToolCommands() {
  return kCommands;
}

const ToolCommand* FindToolCommand(std::string_view name) {
  for (const ToolCommand& command : kCommands)
    if (name == command.Name) return &command;
  return nullptr;
}

std::string ToolOverview() {
  std::string text = kOverview;
  for (const ToolCommand& command : kCommands) {
    text += "\n";
    text += command.Help;
  }
  return text;
}

std::string ToolVersion() {
  return std::string(kToolName) + " (Varnock Pro) " + VARNOCK_VERSION + "\n";
}

int RunFormats(const ParsedArguments& arguments) {
  if (!arguments.Operands.empty()) BadUsage("formats", "it takes no operands");
  LoadCodecOption(arguments, "formats");
  PrintSection("Tile formats");
  for (int format = 0; format < kFixedTileFormatCount; ++format)
    PrintName(FormatShortName(format), kTileFormats[static_cast<size_t>(format)].Name);
  for (TileFormat format : DescribedFormats())
    PrintName(FormatShortName(format), LookUpTileFormat(format)->Name);
  PrintSection("Arrangements");
  PrintName("8x8", "tiles left to right, row by row");
  PrintName("8x16", "tile 2k above tile 2k + 1, the pairs left to right");
  PrintName("16x16", "blocks of 2 x 2: top left, top right, bottom left, bottom right");
  PrintName("cols:WxH", "blocks of W x H (1 to 8), inside one top to bottom, then left to right");
  PrintName("rows:WxH", "blocks of W x H (1 to 8), inside one left to right, then top to bottom");
  PrintSection("Compressions");
  for (const CompressionFormatInfo& info : AllCompressionFormats())
    PrintName(info.ShortName, info.DisplayName);
  PrintSection("Palette kinds (palette --to)");
  PrintName("vrk", "the editor's palette file, entries encoded as the input's");
  PrintName("vrk:ENCODING", "the editor's palette file, entries in ENCODING (rgb, nes, bgr15)");
  PrintName("act", "Adobe colour table");
  PrintName("gpl", "GIMP palette");
  PrintName("jasc", "JASC palette (.pal text)");
  PrintName("riff", "Microsoft RIFF palette (.pal)");
  PrintSection("Palette encodings (palette --from, export --palette-rom)");
  for (const RomPaletteEncoding& encoding : RomPaletteEncodings()) {
    std::string description = encoding.DisplayName;
    const std::vector<std::string> aliases = RomPaletteEncodingAliases(encoding.Format);
    for (size_t i = 0; i < aliases.size(); ++i)
      description += (i == 0 ? "; also " : ", ") + aliases[i];
    PrintName(encoding.ShortName, description);
  }
  return kToolSucceeded;
}

int RunTool(std::span<const std::string> arguments) {
  try {
    if (arguments.empty())
      throw ToolStop{kToolBadUsage, "a command is missing (see varnock-tool --help)"};
    const std::string& first = arguments[0];
    if (first == "--help" || first == "-h") {
      std::fputs(ToolOverview().c_str(), stdout);
      return kToolSucceeded;
    }
    if (first == "--version") {
      std::fputs(ToolVersion().c_str(), stdout);
      return kToolSucceeded;
    }
    const ToolCommand* command = FindToolCommand(first);
    if (!command)
      throw ToolStop{kToolBadUsage, "unknown command '" + first + "' (see varnock-tool --help)"};
    const ArgumentsRead read = ParseArguments(arguments.subspan(1), command->Options);
    // --help wins over anything else on the line, also over a complaint about it.
    for (const std::string& argument : arguments.subspan(1)) {
      if (argument == "--") break;
      if (argument == "--help") {
        std::fputs(command->Help, stdout);
        return kToolSucceeded;
      }
    }
    if (!read.Complaint.empty()) BadUsage(command->Name, read.Complaint);
    // As the editor starts: --format and formats know the user's own encodings.
    LoadUserCodecs();
    return command->Run(read.Arguments);
  } catch (const ToolStop& stop) {
    return ReportStop(stop);
  }
}

}  // namespace varnock
