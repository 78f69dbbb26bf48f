// A fresh set of the application's windows per test, with scripted prompts and helpers to
// open ROM images made on the spot.
#pragma once

#include <gtest/gtest.h>

#include <QRect>
#include <QString>
#include <QStringList>
#include <string>
#include <vector>

#include "document/child_form.h"
#include "shell/forms.h"
#include "shell/main_form.h"
#include "support/scripted_prompts.h"
#include "support/test_files.h"

namespace varnock::test {

// The titles of the tool windows whose frames overlap `onScreen` (screen coordinates).
QStringList ToolWindowsCovering(const QRect& onScreen);

class AppTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Writes `bytes` as `name` in the scratch folder and opens it; the new window, or null.
  TChildForm* Open(const std::string& name, const std::vector<uint8_t>& bytes);
  QString Panel(int index) const;

  TempDir dir;
  ScriptedPrompts prompts;
};

}  // namespace varnock::test
