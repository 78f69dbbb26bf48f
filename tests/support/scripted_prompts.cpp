#include "support/scripted_prompts.h"

namespace varnock::test {

ScriptedPrompts::ScriptedPrompts() {
  SetPrompts(this);
}

ScriptedPrompts::~ScriptedPrompts() {
  SetPrompts(nullptr);
}

PromptAnswer ScriptedPrompts::MessageBox(const QString& text, const QString& caption,
                                         PromptButtons buttons, PromptIcon icon) {
  Messages.push_back({text, caption, buttons, icon});
  if (Answers.empty())
    return buttons == PromptButtons::Ok ? PromptAnswer::Ok : PromptAnswer::Cancel;
  const PromptAnswer answer = Answers.front();
  Answers.pop_front();
  return answer;
}

std::optional<QString> ScriptedPrompts::OpenFileName(const FileDialogInfo& dialog,
                                                     const QString& preset) {
  FileDialogs.push_back({dialog.Title, dialog.Filter, dialog.DefaultExtension, preset, false,
                         DialogStartFolder(preset)});
  return NextFileName();
}

std::optional<QString> ScriptedPrompts::SaveFileName(const FileDialogInfo& dialog,
                                                     const QString& preset) {
  FileDialogs.push_back({dialog.Title, dialog.Filter, dialog.DefaultExtension, preset, true,
                         DialogStartFolder(preset)});
  return NextFileName();
}

std::optional<QString> ScriptedPrompts::SaveFileNameWithFilter(const FileDialogInfo& dialog,
                                                               const QString& preset,
                                                               int* chosenFilter) {
  *chosenFilter = -1;
  if (!Filters.empty()) {
    *chosenFilter = Filters.front();
    Filters.pop_front();
  }
  return SaveFileName(dialog, preset);
}

std::optional<QString> ScriptedPrompts::NextFileName() {
  if (FileNames.empty()) return std::nullopt;
  const bool chosen = FileNames.front().has_value();
  // Copied out as a plain string: copying the optional itself trips a false warning in
  // optimised builds.
  const QString name = chosen ? *FileNames.front() : QString();
  FileNames.pop_front();
  if (!chosen) return std::nullopt;
  return name;
}

std::optional<QColor> ScriptedPrompts::ChooseColor(const QColor& initial) {
  ColorRequests.push_back(initial);
  if (Colors.empty()) return std::nullopt;
  auto color = Colors.front();
  Colors.pop_front();
  return color;
}

std::optional<QString> ScriptedPrompts::AskText(const QString& caption, const QString& label,
                                                const QString& preset) {
  TextQuestions.push_back({caption, label, preset});
  if (Texts.empty()) return std::nullopt;
  const bool given = Texts.front().has_value();
  const QString text = given ? *Texts.front() : QString();
  Texts.pop_front();
  if (!given) return std::nullopt;
  return text;
}

}  // namespace varnock::test
