// Which set of codec and compose kernels runs. All paths give identical output; the choice is
// made once, from what the processor reports, the first time a kernel is needed. The variable
// VARNOCK_CODEC=table|avx2|gfni forces a path (tests and benchmarks use SelectCodecPath instead).
#pragma once

#include <optional>
#include <string_view>

namespace varnock {

enum class CodecPath {
  Table,  // portable lookup tables and word tricks; the reference for the others
  Avx2,   // 256-bit byte shuffles, shifts and multiply-adds
  Gfni,   // AVX2 plus one affine instruction per 8 x 8 bit-matrix transpose
};

inline constexpr CodecPath kCodecPaths[] = {CodecPath::Table, CodecPath::Avx2, CodecPath::Gfni};

const char* CodecPathName(CodecPath path);
std::optional<CodecPath> ParseCodecPath(std::string_view name);

// True when this build has the path and this processor can run it.
bool CodecPathAvailable(CodecPath path);

// The best available path not above `wanted`.
CodecPath BestCodecPathUpTo(CodecPath wanted);

CodecPath ActiveCodecPath();

// Switches every later DecodeTiles, EncodeTiles and ComposeSurface to `path`; a path that is not
// available leaves the current one in place and returns false.
bool SelectCodecPath(CodecPath path);

}  // namespace varnock
