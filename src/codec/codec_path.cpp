#include "codec/codec_path.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>

#include "codec/codec_kernels.h"

namespace varnock {

namespace {

std::atomic<const CodecKernels*> active{nullptr};
std::atomic<CodecPath> activePath{CodecPath::Table};

bool ProcessorHas(CodecPath path) {
#if defined(__x86_64__)
  __builtin_cpu_init();
  switch (path) {
    case CodecPath::Table:
      return true;
    case CodecPath::Avx2:
      return __builtin_cpu_supports("avx2");
    case CodecPath::Gfni:
      return __builtin_cpu_supports("avx2") && __builtin_cpu_supports("gfni");
  }
  return false;
#else
  return path == CodecPath::Table;
#endif
}

const CodecKernels* KernelsOf(CodecPath path) {
  switch (path) {
    case CodecPath::Table:
      return &TableCodecKernels();
    case CodecPath::Avx2:
      return Avx2CodecKernels();
    case CodecPath::Gfni:
      return GfniCodecKernels();
  }
  return nullptr;
}

void Activate(CodecPath path) {
  activePath.store(path, std::memory_order_relaxed);
  active.store(KernelsOf(path), std::memory_order_release);
}

// Runs once: the best path, or the one VARNOCK_CODEC asks for if the processor has it.
const CodecKernels* ChooseAtStartUp() {
  static const CodecKernels* chosen = [] {
    CodecPath path = BestCodecPathUpTo(CodecPath::Gfni);
    if (const char* wanted = std::getenv("VARNOCK_CODEC"); wanted && *wanted) {
      if (const auto asked = ParseCodecPath(wanted)) {
        path = BestCodecPathUpTo(*asked);
        if (path != *asked)
          std::fprintf(stderr, "varnock: VARNOCK_CODEC=%s is not available here, using %s\n",
                       wanted, CodecPathName(path));
      } else {
        std::fprintf(stderr, "varnock: VARNOCK_CODEC=%s is not table, avx2 or gfni, using %s\n",
                     wanted, CodecPathName(path));
      }
    }
    // A SelectCodecPath that ran first keeps its choice.
    const CodecKernels* expected = nullptr;
    active.compare_exchange_strong(expected, KernelsOf(path));
    if (!expected) activePath.store(path, std::memory_order_relaxed);
    return active.load();
  }();
  return chosen;
}

// Chosen before main runs, so a warning about VARNOCK_CODEC shows as the program starts. Every
// kernel table is a constant, ready before any initialiser could run.
[[maybe_unused]] const CodecKernels* const startUpChoice = ChooseAtStartUp();

}  // namespace

const char* CodecPathName(CodecPath path) {
  switch (path) {
    case CodecPath::Table:
      return "table";
    case CodecPath::Avx2:
      return "avx2";
    case CodecPath::Gfni:
      return "gfni";
  }
  return "?";
}

std::optional<CodecPath> ParseCodecPath(std::string_view name) {
  for (CodecPath path : kCodecPaths)
    if (name == CodecPathName(path)) return path;
  return std::nullopt;
}

bool CodecPathAvailable(CodecPath path) {
  return KernelsOf(path) != nullptr && ProcessorHas(path);
}

CodecPath BestCodecPathUpTo(CodecPath wanted) {
  for (int p = static_cast<int>(wanted); p > 0; --p)
    if (CodecPathAvailable(static_cast<CodecPath>(p))) return static_cast<CodecPath>(p);
  return CodecPath::Table;
}

CodecPath ActiveCodecPath() {
  ActiveCodecKernels();
  return activePath.load(std::memory_order_relaxed);
}

bool SelectCodecPath(CodecPath path) {
  if (!CodecPathAvailable(path)) return false;
  ChooseAtStartUp();
  Activate(path);
  return true;
}

const CodecKernels& ActiveCodecKernels() {
  const CodecKernels* kernels = active.load(std::memory_order_acquire);
  return kernels ? *kernels : *ChooseAtStartUp();
}

}  // namespace varnock
