// extract, build and project add: a project's resources to pictures and back into its ROM,
// through the core operations the project window uses.
#include <algorithm>
#include <cstdio>

#include "codec/codec_registry.h"
#include "document/step_names.h"
#include "document/stream_move.h"
#include "io/file_io.h"
#include "pictures/picture_file.h"
#include "project/project_paths.h"
#include "project/project_resource.h"
#include "tool/tool_commands.h"
#include "tool/tool_files.h"
#include "tool/tool_import_fit.h"
#include "tool/tool_options.h"
#include "tool/tool_report.h"

namespace varnock {
namespace {

constexpr const char* kExtract = "extract";
constexpr const char* kBuild = "build";
constexpr const char* kProject = "project";

Project ReadProjectOrStop(const std::string& path) {
  const ProjectReadResult read = ReadProjectFile(path);
  if (!read.Ok) FailOn(path, read.Message());
  return read.Read;
}

// The resources a command works on: all of them, or with --only those named after PROJECT,
// in the project's order.
std::vector<const ProjectResource*> ChosenResources(const ParsedArguments& arguments,
                                                    std::string_view command,
                                                    const std::string& projectPath,
                                                    const Project& project) {
  const std::vector<std::string>& operands = arguments.Operands;
  if (operands.empty()) BadUsage(command, "it takes PROJECT");
  const bool only = arguments.Has("--only");
  if (only && operands.size() < 2) BadUsage(command, "--only takes the names of resources");
  if (!only && operands.size() > 1)
    BadUsage(command, "it takes PROJECT; resources are named after --only");
  std::vector<const ProjectResource*> chosen;
  for (size_t i = 1; i < operands.size(); ++i)
    if (!project.Find(operands[i]))
      FailOn(projectPath, "There is no resource named '" + operands[i] + "'.");
  for (const ProjectResource& resource : project.Resources) {
    const bool named =
        !only || std::find(operands.begin() + 1, operands.end(), resource.Name) != operands.end();
    if (named) chosen.push_back(&resource);
  }
  return chosen;
}

struct Failure {
  std::string Name;
  std::string Reason;
};

// Lists every failure on standard error, then stops: nothing of the command was written.
void StopOnFailures(const std::string& projectPath, const std::vector<Failure>& failures,
                    size_t resources) {
  if (failures.empty()) return;
  for (const Failure& failure : failures) {
    std::string line =
        std::string(kToolName) + ": " + projectPath + ": " + failure.Name + ": " + failure.Reason;
    for (char& c : line)
      if (c == '\n' || c == '\r') c = ' ';
    line.push_back('\n');
    std::fwrite(line.data(), 1, line.size(), stderr);
  }
  FailOn(projectPath, std::to_string(failures.size()) + " of " + std::to_string(resources) +
                          " resource(s) failed; nothing was written.");
}

// The checks an import makes before it writes, made for one resource's planned write: its tiles
// fit their place, and the write keeps off the header fields the save rewrites. Why not, or
// empty.
std::string ImportRefusal(const ParsedArguments& arguments, const RomDocument& rom,
                          const ProjectResource& resource, const ResourceWrite& write,
                          bool repoint) {
  try {
    const ResourceTiles tiles = LocateResource(ImageBytes(rom), resource);
    const int32_t tileBytes = LookUpTileFormat(resource.Format)->TileBytes;
    const int64_t placeBytes = tiles.Compressed ? static_cast<int64_t>(tiles.Stream.Bytes.size())
                                                : int64_t{rom.RomSize} - resource.Offset;
    // build takes no --clip, so nothing is left out and there are no notes to tell.
    ClipNotes noNotes;
    CheckTilesFit(arguments, rom.RomPath, tiles.Tiles, tileBytes, resource.Offset, placeBytes,
                  noNotes);
    CheckChecksumFields(arguments, rom, write.Offset,
                        write.Offset + static_cast<int64_t>(write.Bytes.size()));
    if (write.Move && repoint)
      for (int64_t word : write.Move->Pointers) CheckChecksumFields(arguments, rom, word, word + 4);
  } catch (const ToolStop& stop) {
    // The reason without the ROM's name, which the failure's line names already.
    const std::string prefix = rom.RomPath + ": ";
    return stop.Line.rfind(prefix, 0) == 0 ? stop.Line.substr(prefix.size()) : stop.Line;
  }
  return {};
}

bool FileHolds(const std::string& path, std::span<const uint8_t> bytes) {
  std::vector<uint8_t> present;
  return ReadWholeFile(path, present, bytes.size()) && std::ranges::equal(present, bytes);
}

}  // namespace

int RunExtract(const ParsedArguments& arguments) {
  if (arguments.Operands.empty()) BadUsage(kExtract, "it takes PROJECT");
  const std::string& projectPath = arguments.Operands[0];
  const Project project = ReadProjectOrStop(projectPath);
  const std::vector<const ProjectResource*> chosen =
      ChosenResources(arguments, kExtract, projectPath, project);
  RomDocument rom;
  LoadImageFile(ProjectRomPath(projectPath, project), rom);

  // Every picture is made before the first is written: one that cannot be made stops them all.
  struct Picture {
    std::string Path;
    std::vector<uint8_t> File;
  };
  std::vector<Picture> pictures;
  std::vector<Failure> failures;
  for (const ProjectResource* resource : chosen) {
    const ResourcePicture picture = DecodeResource(rom, projectPath, *resource);
    if (!picture.ok()) {
      failures.push_back({resource->Name, picture.Failure});
      continue;
    }
    const std::string path = ResourcePicturePath(projectPath, *resource);
    const TileSurface& surface = picture.Surface;
    std::vector<uint8_t> file = EncodePictureFile(
        path, surface, {0, 0, surface.Width(), surface.Height()}, picture.ColorCount);
    if (file.empty())
      failures.push_back({resource->Name, "The picture could not be encoded."});
    else
      pictures.push_back({path, std::move(file)});
  }
  StopOnFailures(projectPath, failures, chosen.size());
  for (const Picture& picture : pictures) {
    // A picture that holds these bytes already keeps its time, so a build file sees no change.
    if (FileHolds(picture.Path, picture.File)) continue;
    if (const std::string problem = MakeParentFolders(picture.Path); !problem.empty())
      FailOn(picture.Path, problem);
    WriteOutputFile(picture.Path, picture.File);
  }
  return kToolSucceeded;
}

int RunBuild(const ParsedArguments& arguments) {
  if (arguments.Operands.empty()) BadUsage(kBuild, "it takes PROJECT");
  const std::string& projectPath = arguments.Operands[0];
  const std::string* outPath = arguments.Value("-o");
  const Project project = ReadProjectOrStop(projectPath);
  const std::vector<const ProjectResource*> chosen =
      ChosenResources(arguments, kBuild, projectPath, project);
  const std::string romPath = ProjectRomPath(projectPath, project);
  RomDocument rom;
  LoadImageFile(romPath, rom);
  const std::span<const uint8_t> image = ImageBytes(rom);

  const bool move = arguments.Has("--move");
  const bool repoint = arguments.Has("--repoint");
  if (repoint && !move) BadUsage(kBuild, "--repoint changes the pointers of a move: give --move");
  // Moves are planned one after the other over a copy that holds the streams moved so far.
  std::vector<uint8_t> planned(image.begin(), image.end());
  const ResourceMoves moves{move, UpperExtension(romPath) == ".GBA", planned};

  // Every write is planned against the image as it was read, before any is made.
  std::vector<ResourceWrite> writes;
  std::vector<Failure> failures;
  for (const ProjectResource* resource : chosen) {
    const std::string path = ResourcePicturePath(projectPath, *resource);
    TileSurface picture;
    const PictureReadResult read = ReadPictureFile(path, picture);
    ResourceWrite write;
    if (!read.Ok)
      write.Failure = "'" + path + "': " + read.Reason.toStdString();
    else if (!read.Indexed)
      write.Failure = "'" + path + "' is not indexed: its pixels are colours, not palette indices.";
    else
      write = PlanResourceWrite(image, *resource, picture, moves);
    if (write.ok() && write.Changed)
      write.Failure = ImportRefusal(arguments, rom, *resource, write, repoint);
    if (write.TooLarge) write.Failure += " --move puts it into free space.";
    if (!write.ok()) failures.push_back({resource->Name, write.Failure});
    if (write.ok() && write.Move)
      std::ranges::copy(write.Bytes, planned.begin() + static_cast<ptrdiff_t>(write.Offset));
    writes.push_back(std::move(write));
  }
  // The pointer words a move changes are writes too, of their resource.
  std::vector<ResourceWrite> pieces;
  std::vector<size_t> owners;
  for (size_t i = 0; i < writes.size(); ++i) {
    pieces.push_back(writes[i]);
    owners.push_back(i);
    if (!writes[i].Move || !repoint) continue;
    const std::array<uint8_t, 4> pointer = GbaPointerBytes(writes[i].Offset);
    for (int64_t word : writes[i].Move->Pointers) {
      ResourceWrite piece;
      piece.Changed = true;
      piece.Offset = word;
      piece.Bytes.assign(pointer.begin(), pointer.end());
      pieces.push_back(std::move(piece));
      owners.push_back(i);
    }
  }
  for (const WriteClash& clash : ClashingWrites(pieces))
    failures.push_back({chosen[owners[clash.Later]]->Name,
                        "It writes other bytes than '" + chosen[owners[clash.Earlier]]->Name +
                            "' at " + HexOffset(clash.Offset) + "."});
  StopOnFailures(projectPath, failures, chosen.size());

  bool changed = false;
  for (size_t i = 0; i < writes.size(); ++i) {
    if (!writes[i].Changed) continue;
    changed = true;
    const HistoryStep step(rom, ResourceStepName(chosen[i]->Name));
    if (!writes[i].Move) {
      rom.WriteBytes(writes[i].Offset, writes[i].Bytes);
      std::printf("%s: %zu bytes at %s\n", chosen[i]->Name.c_str(), writes[i].Bytes.size(),
                  HexOffset(writes[i].Offset).c_str());
      continue;
    }
    const StreamMovePlan& plan = *writes[i].Move;
    StreamLink link = writes[i].Link;
    MoveStream(rom, link, plan,
               repoint ? std::span<const int64_t>(plan.Pointers) : std::span<const int64_t>());
    std::printf("%s: %zu bytes at %s. %s\n", chosen[i]->Name.c_str(), plan.Bytes.size(),
                HexOffset(plan.Offset).c_str(),
                StreamMovedText(writes[i].Link.Offset, plan.Offset, 0).c_str());
    for (int64_t word : plan.Pointers)
      std::printf("%s: the word at %s points at the old place%s\n", chosen[i]->Name.c_str(),
                  HexOffset(word).c_str(),
                  repoint ? "; it now points at the new one" : " (--repoint changes it)");
  }
  if (!changed) std::puts("nothing changed");
  // One save at the end, so the header checksums are fixed once, over every write.
  if (outPath)
    SaveImageFile(rom, *outPath, ImportSaveOptions(arguments));
  else if (changed)
    SaveImageFile(rom, romPath, ImportSaveOptions(arguments));
  // The project follows the streams moved in its own ROM; a copy written elsewhere leaves both
  // the ROM and the project as they were.
  Project moved = project;
  bool anyMoved = false;
  for (size_t i = 0; i < writes.size(); ++i) {
    if (!writes[i].Move || outPath) continue;
    ProjectResource& resource = *moved.Find(chosen[i]->Name);
    resource.Offset = writes[i].Move->Offset;
    resource.Room = static_cast<int64_t>(writes[i].Move->Bytes.size());
    anyMoved = true;
  }
  if (anyMoved) {
    const FileWriteResult written = WriteProjectFile(projectPath, moved);
    if (!written.Ok)
      FailOn(projectPath, "The ROM was written, but the project could not be: " + written.Reason +
                              " Its moved resources now start where the "
                              "lines above say.");
  }
  return kToolSucceeded;
}

int RunProject(const ParsedArguments& arguments) {
  const std::vector<std::string>& operands = arguments.Operands;
  if (operands.empty() || operands[0] != "add")
    BadUsage(kProject, "the only project command is add");
  if (operands.size() != 3) BadUsage(kProject, "add takes PROJECT and NAME");
  const std::string& projectPath = operands[1];
  const std::string& name = operands[2];
  LoadCodecOption(arguments, kProject);

  Project project;
  const bool exists = IdentifyFile(projectPath).Exists;
  const std::string* rom = arguments.Value("--rom");
  if (exists) {
    if (rom) BadUsage(kProject, "--rom names the ROM of a new project; this one has its ROM");
    project = ReadProjectOrStop(projectPath);
  } else {
    if (!rom) BadUsage(kProject, "a new project needs --rom ROM");
    project.Rom = PathInProject(projectPath, *rom);
  }
  if (const std::string problem = ResourceNameProblem(project, name); !problem.empty())
    FailOn(projectPath, problem);
  RomDocument doc;
  LoadImageFile(ProjectRomPath(projectPath, project), doc);

  ProjectResource resource;
  resource.Name = name;
  if (!arguments.Has("--offset")) BadUsage(kProject, "--offset O says where the tiles are");
  resource.Offset = NumberOption(arguments, kProject, "--offset", 0);
  resource.Format = FormatOption(arguments, kProject, doc);
  resource.Arrangement = ArrangementOption(arguments, kProject);
  if (const std::optional<int64_t> columns = OptionalNumber(arguments, kProject, "--columns")) {
    if (*columns < 1 || *columns > 2048) BadUsage(kProject, "--columns takes 1 to 2048");
    resource.Columns = static_cast<int32_t>(*columns);
  }
  resource.Tiles = OptionalNumber(arguments, kProject, "--tiles");
  resource.Length = OptionalNumber(arguments, kProject, "--length");
  if (resource.Tiles && resource.Length)
    BadUsage(kProject, "--tiles and --length exclude each other");
  if ((resource.Tiles && *resource.Tiles == 0) || (resource.Length && *resource.Length == 0))
    BadUsage(kProject, "a block has at least one tile");
  const std::string* palette = arguments.Value("--palette");
  const std::string* inRom = arguments.Value("--palette-rom");
  if (palette && inRom) BadUsage(kProject, "--palette and --palette-rom exclude each other");
  if (palette) {
    resource.Palette.From = ResourcePalette::Source::File;
    resource.Palette.File = PathInProject(projectPath, *palette);
  } else if (inRom) {
    const std::vector<std::string_view> parts = SplitText(*inRom, ':');
    if (parts.size() != 3)
      BadUsage(kProject, "--palette-rom takes OFFSET:ENCODING:COUNT, not '" + *inRom + "'");
    resource.Palette.From = ResourcePalette::Source::Rom;
    resource.Palette.Offset = NumberText(parts[0], kProject, "the palette's offset");
    resource.Palette.Encoding = PaletteEncodingNamed(parts[1], kProject);
    const int64_t count = NumberText(parts[2], kProject, "the palette's colour count");
    if (count < 1 || count > kPaletteEntries)
      BadUsage(kProject, "a palette has 1 to 256 colours, not " + std::string(parts[2]));
    resource.Palette.Count = static_cast<int32_t>(count);
  }
  const int64_t subPalette = NumberOption(arguments, kProject, "--subpalette", 0);
  if (subPalette > 255) BadUsage(kProject, "--subpalette takes 0 to 255");
  resource.SubPalette = static_cast<int32_t>(subPalette);
  if (const std::string* compressed = arguments.Value("--compressed"))
    resource.Compression = CompressionNamed(*compressed, kProject);
  resource.Room = OptionalNumber(arguments, kProject, "--room");
  if (resource.Room && !resource.Compression)
    BadUsage(kProject, "--room is the room of a stream: give --compressed too");
  if (resource.Room && *resource.Room == 0) BadUsage(kProject, "--room takes at least 1 byte");
  if (const std::optional<int64_t> fill = OptionalNumber(arguments, kProject, "--fill")) {
    if (!resource.Compression)
      BadUsage(kProject, "--fill is the fill byte of a stream: give --compressed too");
    if (*fill > 255) BadUsage(kProject, "--fill takes 0 to 0xFF");
    resource.Fill = static_cast<uint8_t>(*fill);
  }
  if (const std::string* png = arguments.Value("--png"))
    resource.Picture = PathInProject(projectPath, *png);

  // A resource that could not be extracted is not added.
  const ResourcePicture picture = DecodeResource(doc, projectPath, resource);
  if (!picture.ok()) FailOn(projectPath, name + ": " + picture.Failure);
  // A stream's room and fill byte are written down as they are now: a later build of a shorter
  // stream keeps the room.
  if (resource.Compression) {
    const StreamLink& link = LocateResource(ImageBytes(doc), resource).Stream.Link;
    if (!resource.Room) resource.Room = link.PlaceLength;
    if (!resource.Fill) resource.Fill = link.FillByte;
  }
  project.Resources.push_back(std::move(resource));
  const FileWriteResult written = WriteProjectFile(projectPath, project);
  if (!written.Ok) FailOn(projectPath, written.Reason);
  return kToolSucceeded;
}

}  // namespace varnock
