#include "project/project_file.h"

#include <toml++/toml.h>

#include <algorithm>
#include <limits>
#include <sstream>

#include "document/rom_document.h"
#include "document/view_names.h"

namespace varnock {

struct ProjectExtras {
  toml::table Table;
};

namespace {

constexpr int64_t kLargestOffset = std::numeric_limits<int32_t>::max();
constexpr int64_t kMostColumns = 2048;

// Known keys, so everything else in a table counts as the user's and is kept.
constexpr std::string_view kProjectKeys[] = {"rom", "resource"};
constexpr std::string_view kResourceKeys[] = {
    "name",    "offset",      "format",     "arrangement", "columns", "tiles", "length",
    "palette", "palette-rom", "subpalette", "compression", "room",    "fill",  "png"};
constexpr std::string_view kRomPaletteKeys[] = {"offset", "encoding", "count"};

// A fault found while reading: its line and reason, thrown to the top of the parse.
struct Fault {
  int32_t Line;
  std::string Reason;
};

int32_t LineOf(const toml::node& node) {
  return static_cast<int32_t>(node.source().begin.line);
}

[[noreturn]] void FailAt(const toml::node& node, std::string reason) {
  throw Fault{LineOf(node), std::move(reason)};
}

template <size_t N>
bool IsKnown(const std::string_view (&keys)[N], std::string_view key) {
  return std::find(std::begin(keys), std::end(keys), key) != std::end(keys);
}

template <size_t N>
std::shared_ptr<const ProjectExtras> ExtrasOf(const toml::table& table,
                                              const std::string_view (&known)[N]) {
  auto extras = std::make_shared<ProjectExtras>();
  for (const auto& [key, value] : table)
    if (!IsKnown(known, key.str())) extras->Table.insert(key, value);
  return extras;
}

std::string Quoted(std::string_view text) {
  std::string quoted(1, '\'');
  quoted.append(text);
  quoted.push_back('\'');
  return quoted;
}

const std::string& TextAt(const toml::node& node, std::string_view key) {
  const auto* text = node.as_string();
  if (!text) FailAt(node, std::string(key) + " must be a text in quotes");
  return text->get();
}

int64_t NumberAt(const toml::node& node, std::string_view key, int64_t lowest, int64_t highest) {
  const auto* number = node.as_integer();
  if (!number || number->get() < lowest || number->get() > highest)
    FailAt(node, std::string(key) + " must be a whole number from " + std::to_string(lowest) +
                     " to " + std::to_string(highest));
  return number->get();
}

std::string RomPaletteEncodingList() {
  std::string list;
  for (const RomPaletteEncoding& encoding : RomPaletteEncodings())
    list.append(list.empty() ? "" : " ").append(encoding.ShortName);
  return list;
}

std::string CompressionList() {
  std::string list;
  for (const CompressionFormatInfo& info : AllCompressionFormats())
    list.append(list.empty() ? "" : " ").append(info.ShortName);
  return list;
}

const char* EncodingShortName(RomPaletteFormat format) {
  for (const RomPaletteEncoding& encoding : RomPaletteEncodings())
    if (encoding.Format == format) return encoding.ShortName;
  return "rgb";
}

void ReadRomPalette(const toml::node& node, ResourcePalette& palette) {
  const toml::table* table = node.as_table();
  if (!table) FailAt(node, "palette-rom must be a table: { offset = O, encoding = E, count = N }");
  for (const auto& [key, value] : *table)
    if (!IsKnown(kRomPaletteKeys, key.str()))
      FailAt(value, "palette-rom has offset, encoding and count, not " + Quoted(key.str()));
  const toml::node* offset = table->get("offset");
  const toml::node* encoding = table->get("encoding");
  const toml::node* count = table->get("count");
  if (!offset || !encoding || !count) FailAt(node, "palette-rom needs offset, encoding and count");
  palette.From = ResourcePalette::Source::Rom;
  palette.Offset = NumberAt(*offset, "the palette's offset", 0, kLargestOffset);
  const std::string& name = TextAt(*encoding, "the palette's encoding");
  const RomPaletteEncoding* found = RomPaletteEncodingNamed(name);
  if (!found)
    FailAt(*encoding, "unknown palette encoding " + Quoted(name) + "; the encodings are " +
                          RomPaletteEncodingList());
  palette.Encoding = found->Format;
  palette.Count = static_cast<int32_t>(NumberAt(*count, "the palette's count", 1, 256));
}

ProjectResource ReadResource(const toml::table& table, const toml::node& where,
                             TileFormat defaultFormat) {
  ProjectResource resource;
  const toml::node* name = table.get("name");
  if (!name) FailAt(where, "a resource has no name");
  resource.Name = TextAt(*name, "name");
  if (resource.Name.empty()) FailAt(*name, "a resource's name is empty");
  const toml::node* offset = table.get("offset");
  if (!offset) FailAt(where, "the resource " + Quoted(resource.Name) + " has no offset");
  resource.Offset = NumberAt(*offset, "offset", 0, kLargestOffset);
  resource.Format = defaultFormat;
  if (const toml::node* format = table.get("format")) {
    const std::string& text = TextAt(*format, "format");
    const std::optional<TileFormat> parsed = ParseFormatName(text);
    if (!parsed)
      FailAt(*format, "unknown format " + Quoted(text) + "; the formats are " + FormatNameList());
    resource.Format = *parsed;
  }
  if (const toml::node* arrangement = table.get("arrangement")) {
    const std::string& text = TextAt(*arrangement, "arrangement");
    const std::optional<TileArrangement> parsed = ParseArrangementName(text);
    if (!parsed)
      FailAt(*arrangement, "unknown arrangement " + Quoted(text) + "; arrangements are " +
                               kArrangementNameForms + " (W and H 1 to 8)");
    resource.Arrangement = *parsed;
  }
  if (const toml::node* columns = table.get("columns"))
    resource.Columns = static_cast<int32_t>(NumberAt(*columns, "columns", 1, kMostColumns));
  const toml::node* tiles = table.get("tiles");
  const toml::node* length = table.get("length");
  if (tiles && length) FailAt(*length, "tiles and length exclude each other");
  if (tiles) resource.Tiles = NumberAt(*tiles, "tiles", 1, kLargestOffset);
  if (length) resource.Length = NumberAt(*length, "length", 1, kLargestOffset);
  const toml::node* palette = table.get("palette");
  const toml::node* inRom = table.get("palette-rom");
  if (palette && inRom) FailAt(*inRom, "palette and palette-rom exclude each other");
  if (palette) {
    resource.Palette.From = ResourcePalette::Source::File;
    resource.Palette.File = TextAt(*palette, "palette");
    if (resource.Palette.File.empty()) FailAt(*palette, "palette names no file");
  }
  if (inRom) ReadRomPalette(*inRom, resource.Palette);
  if (const toml::node* sub = table.get("subpalette"))
    resource.SubPalette = static_cast<int32_t>(NumberAt(*sub, "subpalette", 0, 255));
  if (const toml::node* compression = table.get("compression")) {
    const std::string& text = TextAt(*compression, "compression");
    resource.Compression = CompressionFormatByName(text);
    if (!resource.Compression)
      FailAt(*compression,
             "unknown compression " + Quoted(text) + "; the compressions are " + CompressionList());
  }
  if (const toml::node* room = table.get("room")) {
    if (!resource.Compression) FailAt(*room, "room is the room of a compressed stream");
    resource.Room = NumberAt(*room, "room", 1, kLargestOffset);
  }
  if (const toml::node* fill = table.get("fill")) {
    if (!resource.Compression) FailAt(*fill, "fill is the fill byte of a compressed stream");
    resource.Fill = static_cast<uint8_t>(NumberAt(*fill, "fill", 0, 255));
  }
  if (const toml::node* png = table.get("png")) {
    resource.Picture = TextAt(*png, "png");
    if (resource.Picture.empty()) FailAt(*png, "png names no file");
  }
  resource.Extras = ExtrasOf(table, kResourceKeys);
  return resource;
}

Project ReadProject(const toml::table& root) {
  Project project;
  const toml::node* rom = root.get("rom");
  if (!rom) throw Fault{0, "the project names no ROM (rom = \"FILE\")"};
  project.Rom = TextAt(*rom, "rom");
  if (project.Rom.empty()) FailAt(*rom, "rom names no file");
  const TileFormat defaultFormat = RomDocument::FormatForExtension(UpperExtension(project.Rom));
  if (const toml::node* resources = root.get("resource")) {
    const toml::array* list = resources->as_array();
    if (!list) FailAt(*resources, "resource must be a list of tables: [[resource]]");
    for (const toml::node& entry : *list) {
      const toml::table* table = entry.as_table();
      if (!table) FailAt(entry, "each resource must be a table: [[resource]]");
      ProjectResource resource = ReadResource(*table, entry, defaultFormat);
      if (project.Find(resource.Name))
        FailAt(*table->get("name"), "a second resource is named " + Quoted(resource.Name));
      project.Resources.push_back(std::move(resource));
    }
  }
  project.Extras = ExtrasOf(root, kProjectKeys);
  return project;
}

toml::value<int64_t> Hexadecimal(int64_t number) {
  toml::value<int64_t> value(number);
  value.flags(toml::value_flags::format_as_hexadecimal);
  return value;
}

toml::table ResourceTable(const ProjectResource& resource) {
  toml::table table = resource.Extras ? resource.Extras->Table : toml::table{};
  table.insert_or_assign("name", resource.Name);
  table.insert_or_assign("offset", Hexadecimal(resource.Offset));
  table.insert_or_assign("format", FormatShortName(resource.Format));
  table.insert_or_assign("arrangement", ArrangementName(resource.Arrangement));
  if (resource.Columns) table.insert_or_assign("columns", int64_t{*resource.Columns});
  if (resource.Tiles) table.insert_or_assign("tiles", *resource.Tiles);
  if (resource.Length) table.insert_or_assign("length", *resource.Length);
  switch (resource.Palette.From) {
    case ResourcePalette::Source::Beside:
      break;
    case ResourcePalette::Source::File:
      table.insert_or_assign("palette", resource.Palette.File);
      break;
    case ResourcePalette::Source::Rom: {
      toml::table inRom;
      inRom.insert_or_assign("offset", Hexadecimal(resource.Palette.Offset));
      inRom.insert_or_assign("encoding", EncodingShortName(resource.Palette.Encoding));
      inRom.insert_or_assign("count", int64_t{resource.Palette.Count});
      inRom.is_inline(true);
      table.insert_or_assign("palette-rom", std::move(inRom));
      break;
    }
  }
  if (resource.SubPalette != 0) table.insert_or_assign("subpalette", int64_t{resource.SubPalette});
  if (resource.Compression)
    table.insert_or_assign("compression", CompressionInfo(*resource.Compression).ShortName);
  if (resource.Compression && resource.Room) table.insert_or_assign("room", *resource.Room);
  if (resource.Compression && resource.Fill)
    table.insert_or_assign("fill", Hexadecimal(*resource.Fill));
  if (!resource.Picture.empty()) table.insert_or_assign("png", resource.Picture);
  return table;
}

}  // namespace

const ProjectResource* Project::Find(std::string_view name) const {
  for (const ProjectResource& resource : Resources)
    if (resource.Name == name) return &resource;
  return nullptr;
}

ProjectResource* Project::Find(std::string_view name) {
  return const_cast<ProjectResource*>(std::as_const(*this).Find(name));
}

std::string ProjectReadResult::Message() const {
  if (Line <= 0) return Reason;
  return "line " + std::to_string(Line) + ": " + Reason;
}

ProjectReadResult ParseProject(std::string_view text) {
  ProjectReadResult result;
  try {
    const toml::table root = toml::parse(text, std::string_view("project"));
    result.Read = ReadProject(root);
    result.Ok = true;
  } catch (const toml::parse_error& error) {
    result.Line = static_cast<int32_t>(error.source().begin.line);
    result.Reason = std::string(error.description());
  } catch (const Fault& fault) {
    result.Line = fault.Line;
    result.Reason = fault.Reason;
  }
  return result;
}

ProjectReadResult ReadProjectFile(const std::string& path) {
  std::vector<uint8_t> bytes;
  bool tooLarge = false;
  if (!ReadWholeFile(path, bytes, kMaxProjectFileBytes, &tooLarge)) {
    ProjectReadResult result;
    result.Reason =
        tooLarge ? "The file is too large to be a project." : "The file could not be read.";
    return result;
  }
  return ParseProject(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

std::string ProjectText(const Project& project) {
  toml::table root = project.Extras ? project.Extras->Table : toml::table{};
  root.insert_or_assign("rom", project.Rom);
  toml::array resources;
  for (const ProjectResource& resource : project.Resources)
    resources.push_back(ResourceTable(resource));
  if (!resources.empty()) root.insert_or_assign("resource", std::move(resources));
  std::ostringstream text;
  text << toml::toml_formatter(root) << "\n";
  return text.str();
}

FileWriteResult WriteProjectFile(const std::string& path, const Project& project) {
  const std::string text = ProjectText(project);
  return WriteFileSafely(path,
                         std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size()));
}

std::string ResourceNameProblem(const Project& project, std::string_view name) {
  if (name.empty()) return "A resource needs a name.";
  for (char c : name)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
      return "A resource's name cannot hold control characters.";
  if (project.Find(name))
    return "A resource named '" + std::string(name) + "' is in the project already.";
  return {};
}

}  // namespace varnock
