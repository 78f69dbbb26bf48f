// A compressed stream opened as a document of its own: where it lies in the image it came
// from, and what saving it back would write there.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "compression/compression.h"

namespace varnock {

// What a stream's document remembers of its place in the source image.
struct StreamLink {
  int32_t Offset = 0;
  CompressionFormat Format = CompressionFormat::Lz10;
  int Variant = 0;  // kept by every recompression (Huffman: 4 or 8 bits per symbol)
  // The room the stream has: the bytes from Offset it may take, by default what the decoder
  // consumed when it was opened. Later saves keep it, whatever length they write, since the
  // bytes after it belong to something else.
  int32_t PlaceLength = 0;
  // The part of the room the stream itself takes: what the decoder consumed at the opening,
  // the compressed length of the last save since.
  int32_t StreamLength = 0;
  // What a save writes into the rest of the room, where a longer stream was.
  uint8_t FillByte = 0;
  // The source's bytes of the place as the stream last left them (opened or saved): when they
  // differ now, another edit changed them and the user is asked before they are overwritten.
  std::vector<uint8_t> PlaceBytes;
};

struct OpenedStream {
  DecompressError Error = DecompressError::None;
  StreamLink Link;
  std::vector<uint8_t> Bytes;  // the decompressed graphics
  bool ok() const { return Error == DecompressError::None; }
};

// Decompresses the stream of `format` that starts at `offset` of `image`. An offset outside
// the image has no stream: it ends before it starts. Its room is what it takes; the fill byte
// is the one the image's free space holds (FreeSpaceByte).
OpenedStream OpenStreamAt(std::span<const uint8_t> image, int64_t offset, CompressionFormat format);

// Gives the stream a room of `room` bytes. Refused, with the sentence the user reads, when the
// room is shorter than the stream takes now or reaches past the end of `source`; otherwise
// empty. The bytes the room gains are remembered as they are now, those it keeps as the stream
// last left them.
std::string ChangeStreamRoom(StreamLink& link, std::span<const uint8_t> source, int64_t room);

// The source's bytes of the place now, clipped at the image's end.
std::span<const uint8_t> PlaceIn(const StreamLink& link, std::span<const uint8_t> source);

enum class StreamSaveVerdict {
  Write,           // the stream fits: write Compressed at the offset
  Unchanged,       // the place already starts with exactly these bytes: nothing to write
  TooLarge,        // Compressed is longer than the place
  CannotCompress,  // the format cannot hold the graphics
};

struct StreamSavePlan {
  StreamSaveVerdict Verdict = StreamSaveVerdict::CannotCompress;
  // What the save writes at the offset: the compressed stream, then the fill byte over the rest
  // of the room. When the stream does not fit, only the compressed stream.
  std::vector<uint8_t> Bytes;
  size_t CompressedLength = 0;
  // The place's bytes are no longer those the stream last left there.
  bool PlaceChanged = false;
};

// What saving `graphics` back into `source` would do; changes nothing. After a Write, the
// caller records the new StreamLength and PlaceBytes (StreamSaved).
StreamSavePlan PlanStreamSave(const StreamLink& link, std::span<const uint8_t> source,
                              std::span<const uint8_t> graphics);

// Records in `link` what a carried-out `plan` left in `source`.
void StreamSaved(StreamLink& link, std::span<const uint8_t> source, const StreamSavePlan& plan);

// Why `plan` writes nothing, in the words the user reads ("The graphics take 1234 bytes
// compressed and only 1200 are free at 0x1C40. Nothing was written."); empty when it may be
// carried out. The stream window and the command-line tool both say this.
std::string StreamSaveRefusal(const StreamLink& link, const StreamSavePlan& plan);

// "0x1C40": an offset as captions and messages write it.
std::string OffsetHexText(int64_t offset);
// "sample.gba @ 0x1C40 [LZ77 10]": the caption of a stream's window.
std::string StreamCaption(const std::string& sourceName, int64_t offset, CompressionFormat format);

}  // namespace varnock
