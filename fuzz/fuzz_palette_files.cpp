// Feeds arbitrary bytes to the three palette readers and writes back whatever they accepted.
// Every colour a reader produces is exactly representable in the format it came from, so a
// write followed by a read must give the same entries again.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "palette/nesticle_state.h"
#include "palette/vrk_file.h"
#include "palette/zsnes_state.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

void CheckRoundTrip(const varnock::PaletteReadResult& read) {
  if (!read.ok()) return;
  const varnock::PaletteFileData& data = read.Data;
  Check(data.PaletteSize >= 0 && data.PaletteSize <= varnock::kPaletteEntries);
  Check(data.Entries.size() == static_cast<size_t>(data.PaletteSize));

  varnock::PaletteTable table{};
  for (size_t k = 0; k < data.Entries.size(); ++k) table[k] = data.Entries[k];
  const std::vector<uint8_t> bytes =
      varnock::EncodeVrkPalette(table, data.PalFormat, data.PaletteSize);
  const varnock::PaletteReadResult again = varnock::ParseVrkPalette(bytes);
  Check(again.ok());
  Check(again.Data.PalFormat == data.PalFormat);
  Check(again.Data.PaletteSize == data.PaletteSize);
  Check(again.Data.Entries == data.Entries);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::span<const uint8_t> bytes(data, size);
  CheckRoundTrip(varnock::ParseVrkPalette(bytes));
  CheckRoundTrip(varnock::ParseNesticleState(bytes));
  CheckRoundTrip(varnock::ParseZsnesState(bytes));
  return 0;
}
