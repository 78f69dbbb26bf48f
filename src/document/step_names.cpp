#include "document/step_names.h"

#include "document/stream_link.h"
#include "document/view_readout.h"

namespace varnock {

std::string WriteStepName(const RomDocument& doc, int64_t offset) {
  return "Modifica a " + OffsetReadout(doc, offset);
}

std::string PasteStepName(const RomDocument& doc, int32_t columns, int32_t rows, int64_t offset) {
  return "Incolla " + std::to_string(columns) + "x" + std::to_string(rows) + " a " +
         OffsetReadout(doc, offset);
}

std::string ImportStepName() {
  return "Importa Bitmap";
}

std::string DropStepName(const RomDocument& doc, int64_t offset) {
  return "Drop a " + OffsetReadout(doc, offset);
}

std::string DropUndoStepName(const RomDocument& doc, int64_t offset) {
  return "Annulla Drop a " + OffsetReadout(doc, offset);
}

std::string TileStepName(const RomDocument& doc, std::string_view operation, int64_t offset) {
  return std::string(operation) + ", tile " + OffsetReadout(doc, offset);
}

std::string TileUndoStepName(const RomDocument& doc, int64_t offset) {
  return TileStepName(doc, "Annulla ultima operazione", offset);
}

std::string StreamStepName(CompressionFormat format, int64_t offset) {
  return std::string("Flusso ") + CompressionInfo(format).DisplayName + " a " +
         OffsetHexText(offset);
}

std::string ResourceStepName(std::string_view resource) {
  return "Risorsa '" + std::string(resource) + "'";
}

std::string StreamMoveStepName(CompressionFormat format, int64_t from, int64_t to) {
  return std::string("Sposta flusso ") + CompressionInfo(format).DisplayName + " da " +
         OffsetHexText(from) + " a " + OffsetHexText(to);
}

std::string ChecksumStepName() {
  return "Checksum dell'intestazione";
}

}  // namespace varnock
