// The real windows for benchmarks that drive them: one offscreen application for the whole
// run, and ROM windows opened on images of varied bytes.
#pragma once

#if VARNOCK_BENCH_UI

#include <QApplication>
#include <QDir>
#include <QFile>
#include <cstdint>
#include <vector>

#include "document/child_form.h"
#include "shell/forms.h"
#include "shell/main_form.h"

namespace varnock::bench {

inline void EnsureApplication() {
  static QApplication* app = [] {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "varnock_bench";
    static char* argv[] = {name, nullptr};
    // Another benchmark of the same run may have made the application and windows already.
    auto* created = qApp ? nullptr : new QApplication(argc, argv);
    if (!MainForm) CreateForms(false);
    return created;
  }();
  (void)app;
}

// Opens a ROM window on `size` bytes of a fixed pseudo-random sequence, written once under
// `name` in the temporary folder (the extension chooses the format).
inline TChildForm* OpenVariedImage(const char* name, size_t size, uint32_t seed) {
  const QString path = QDir::temp().filePath(QString::fromLatin1(name));
  std::vector<char> bytes(size);
  uint32_t state = seed;
  for (char& b : bytes) {
    state = state * 1664525u + 1013904223u;
    b = static_cast<char>(state >> 24);
  }
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly)) return nullptr;
  file.write(bytes.data(), static_cast<qint64>(bytes.size()));
  file.close();
  MainForm->OpenRom(path);
  QFile::remove(path);
  return MainForm->ActiveChild();
}

// A 1 MB SNES image of varied bytes laid out as a 64 x 64 grid at zoom 4, or null.
inline TChildForm* OpenLargeGrid(const char* name, uint32_t seed) {
  TChildForm* child = OpenVariedImage(name, 1u << 20, seed);
  if (!child) return nullptr;
  child->Doc.Columns = 64;
  child->Doc.Rows = 64;
  child->Doc.Zoom = 4;
  child->LayoutView();
  if (child->Doc.Columns != 64 || child->Doc.Rows != 64) return nullptr;
  return child;
}

}  // namespace varnock::bench

#endif
