// zlib and gzip streams for tests that build compressed files by hand.
#pragma once

#include <cstdint>
#include <vector>

namespace varnock::test {

std::vector<uint8_t> ZlibCompress(const std::vector<uint8_t>& bytes);
std::vector<uint8_t> GzipCompress(const std::vector<uint8_t>& bytes);

}  // namespace varnock::test
