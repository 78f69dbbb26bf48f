#include "shell/save_leftovers_note.h"

#include "io/save_temporaries.h"
#include "shell/prompts.h"

namespace varnock {

void TellSaveLeftovers(const std::string& path) {
  const std::vector<SaveLeftover> leftovers = FindSaveLeftovers(path);
  if (leftovers.empty()) return;
  QString text =
      QStringLiteral("An interrupted save of '%1' left files behind:").arg(PathForDisplay(path));
  for (const SaveLeftover& leftover : leftovers)
    text += QStringLiteral("\n\n") + PathForDisplay(SaveLeftoverText(leftover, path));
  CurrentPrompts().MessageBox(text, QStringLiteral("Varnock Pro"), PromptButtons::Ok,
                              PromptIcon::Information);
}

}  // namespace varnock
