// The short names of history steps, as the Edit menu and the history window show them: what
// was done and where ("Incolla 4x2 a 0x02000"), offsets written as the readout writes them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "compression/compression.h"
#include "document/rom_document.h"

namespace varnock {

// A write that no operation named: "Modifica a 0x01230".
std::string WriteStepName(const RomDocument& doc, int64_t offset);
// A paste commit of `columns` x `rows` tiles: "Incolla 4x2 a 0x02000".
std::string PasteStepName(const RomDocument& doc, int32_t columns, int32_t rows, int64_t offset);
// The commit of a block read from a picture file: "Importa Bitmap".
std::string ImportStepName();
// A tile dropped onto the view, and "&Annulla Drop": "Drop a 0x01230", "Annulla Drop a 0x01230".
std::string DropStepName(const RomDocument& doc, int64_t offset);
std::string DropUndoStepName(const RomDocument& doc, int64_t offset);
// A tile editor operation on the tile at `offset`: "Matita, tile 0x00340".
std::string TileStepName(const RomDocument& doc, std::string_view operation, int64_t offset);
// The tile editor's undo button: "Annulla ultima operazione, tile 0x00340".
std::string TileUndoStepName(const RomDocument& doc, int64_t offset);
// A stream window's save into its source: "Flusso LZ77 10 a 0x2100", the offset as the stream
// window's caption writes it.
std::string StreamStepName(CompressionFormat format, int64_t offset);
// A project resource's picture put back into the image: "Risorsa 'font'".
std::string ResourceStepName(std::string_view resource);
// A stream moved, with the pointers that follow it: "Sposta flusso LZ77 10 da 0x2100 a 0x7F000".
std::string StreamMoveStepName(CompressionFormat format, int64_t from, int64_t to);
// The header checksums a save writes.
std::string ChecksumStepName();

}  // namespace varnock
