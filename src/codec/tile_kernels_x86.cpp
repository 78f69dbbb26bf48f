// The AVX2 and GFNI kernel tables. Each function carries its own target attribute, so the rest
// of the program runs on any x86-64, and the file compiles to nothing on other machines.
#include "codec/codec_kernels.h"

#if defined(__x86_64__)

#include <immintrin.h>

#include <array>
#include <cstdint>
#include <utility>

namespace varnock {

namespace avx2 {
#define KERNEL __attribute__((target("avx2")))
#define KERNEL_GFNI 0
#include "codec/tile_kernels_x86.inc"
#undef KERNEL
#undef KERNEL_GFNI
}  // namespace avx2

namespace gfni {
#define KERNEL __attribute__((target("avx2,gfni")))
#define KERNEL_GFNI 1
#include "codec/tile_kernels_x86.inc"
#undef KERNEL
#undef KERNEL_GFNI
}  // namespace gfni

const CodecKernels* Avx2CodecKernels() {
  return &avx2::kKernels;
}

const CodecKernels* GfniCodecKernels() {
  return &gfni::kKernels;
}

}  // namespace varnock

#else

namespace varnock {

const CodecKernels* Avx2CodecKernels() {
  return nullptr;
}

const CodecKernels* GfniCodecKernels() {
  return nullptr;
}

}  // namespace varnock

#endif
