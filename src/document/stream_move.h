// Moving a compressed stream that no longer fits its place: where it goes (a free run, or an
// offset the user names), what is written there, and in a GBA image the words that point at
// the old place, which may follow it. The old place is left as it was.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "document/stream_link.h"

namespace varnock {

class RomDocument;

// A GBA game sees its cartridge from this address on: a pointer to offset X is the word
// 0x08000000 + X.
inline constexpr uint32_t kGbaRomAddress = 0x08000000;

// The four bytes, little-endian, of the GBA pointer to `offset`.
std::array<uint8_t, 4> GbaPointerBytes(int64_t offset);

// The offsets of the 4-byte aligned words of `image` that point at `offset`.
std::vector<int64_t> FindPointerWords(std::span<const uint8_t> image, int64_t offset);

struct StreamMovePlan {
  // Why the stream cannot go there, in the words the user reads; empty when it can.
  std::string Refusal;
  int64_t Offset = -1;
  // The bytes at Offset are not all 0x00 or all 0xFF: something may live there.
  bool TargetUsed = false;
  std::vector<uint8_t> Bytes;  // the compressed stream
  // The words pointing at the old place (only when pointers were asked for).
  std::vector<int64_t> Pointers;
};

// Where a move of the stream `link` describes, now compressed to `compressed`, would write:
// at `target`, or with none at the first free run large enough (FindFreeRun, the format's
// alignment, the old room kept). `gbaImage` lists the pointer words. Changes nothing.
StreamMovePlan PlanStreamMove(const StreamLink& link, std::span<const uint8_t> source,
                              std::span<const uint8_t> compressed, std::optional<int64_t> target,
                              bool gbaImage);

// Carries out `plan` in `doc`: the stream at its new offset, the new pointer in each word of
// `repointed` (offsets from plan.Pointers). The link then describes the new place, whose room
// is the stream's length.
void MoveStream(RomDocument& doc, StreamLink& link, const StreamMovePlan& plan,
                std::span<const int64_t> repointed);

// "The stream now starts at 0x7F000; its old place at 0x1C40 is as it was.": what a move says.
std::string StreamMovedText(int64_t from, int64_t to);

}  // namespace varnock
