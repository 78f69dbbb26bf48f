#include "io/inflate_stream.h"

#include <zlib.h>

#include <algorithm>

namespace varnock {
namespace {

// zlib's counters are unsigned int; feed and drain it in pieces that always fit.
constexpr size_t kPiece = 1u << 16;

class Inflater {
 public:
  explicit Inflater(StreamWrapper wrapper) {
    // 15 window bits for zlib; +16 asks for the gzip header and trailer instead.
    ok_ = inflateInit2(&stream_, wrapper == StreamWrapper::Gzip ? 15 + 16 : 15) == Z_OK;
  }
  ~Inflater() {
    if (ok_) inflateEnd(&stream_);
  }
  Inflater(const Inflater&) = delete;
  Inflater& operator=(const Inflater&) = delete;

  bool ok() const { return ok_; }
  z_stream& stream() { return stream_; }

 private:
  z_stream stream_{};
  bool ok_ = false;
};

}  // namespace

InflateResult InflateStream(std::span<const uint8_t> input, StreamWrapper wrapper,
                            size_t maxOutput) {
  InflateResult result;
  size_t consumed = 0;
  // A gzip file may hold several members one after another; each is a whole stream.
  do {
    Inflater inflater(wrapper);
    if (!inflater.ok()) {
      result.Error = InflateError::Damaged;
      break;
    }
    z_stream& zs = inflater.stream();
    int status = Z_OK;
    while (status != Z_STREAM_END) {
      if (zs.avail_in == 0) {
        const size_t left = input.size() - consumed;
        if (left == 0) {
          result.Error = InflateError::Truncated;
          break;
        }
        // zlib takes a non-const pointer but never writes through next_in.
        zs.next_in = const_cast<Bytef*>(input.data() + consumed);
        zs.avail_in = static_cast<uInt>(std::min(left, kPiece));
        consumed += zs.avail_in;
      }
      // Room for one byte past the limit, so reaching it exactly is told from passing it.
      const size_t before = result.Bytes.size();
      const size_t room = std::min(kPiece, maxOutput + 1 - before);
      result.Bytes.resize(before + room);
      zs.next_out = result.Bytes.data() + before;
      zs.avail_out = static_cast<uInt>(room);
      status = inflate(&zs, Z_NO_FLUSH);
      result.Bytes.resize(before + room - zs.avail_out);
      if (result.Bytes.size() > maxOutput) {
        result.Error = InflateError::TooLarge;
        break;
      }
      if (status == Z_BUF_ERROR && zs.avail_in == 0) continue;  // needs more input
      if (status != Z_OK && status != Z_STREAM_END) {
        result.Error = InflateError::Damaged;
        break;
      }
    }
    if (!result.ok()) break;
    consumed -= zs.avail_in;  // bytes zlib was given but did not use
  } while (wrapper == StreamWrapper::Gzip && consumed < input.size());

  // Anything after a zlib stream means the file is not what it claims to be.
  if (result.ok() && consumed != input.size()) result.Error = InflateError::Damaged;
  if (!result.ok()) result.Bytes.clear();
  return result;
}

}  // namespace varnock
