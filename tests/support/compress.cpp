#include "support/compress.h"

#include <zlib.h>

#include <stdexcept>

namespace varnock::test {
namespace {

std::vector<uint8_t> Deflate(const std::vector<uint8_t>& bytes, int windowBits) {
  z_stream zs{};
  if (deflateInit2(&zs, 6, Z_DEFLATED, windowBits, 8, Z_DEFAULT_STRATEGY) != Z_OK)
    throw std::runtime_error("deflateInit2");
  std::vector<uint8_t> out(deflateBound(&zs, bytes.size()) + 32);
  zs.next_in = const_cast<Bytef*>(bytes.data());
  zs.avail_in = static_cast<uInt>(bytes.size());
  zs.next_out = out.data();
  zs.avail_out = static_cast<uInt>(out.size());
  const int status = deflate(&zs, Z_FINISH);
  out.resize(zs.total_out);
  deflateEnd(&zs);
  if (status != Z_STREAM_END) throw std::runtime_error("deflate");
  return out;
}

}  // namespace

std::vector<uint8_t> ZlibCompress(const std::vector<uint8_t>& bytes) {
  return Deflate(bytes, 15);
}

std::vector<uint8_t> GzipCompress(const std::vector<uint8_t>& bytes) {
  return Deflate(bytes, 15 + 16);
}

}  // namespace varnock::test
