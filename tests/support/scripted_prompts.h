// Prompts for window tests: every question is recorded with its exact words, and answers come
// from queues the test fills.
#pragma once

#include <QColor>
#include <QString>
#include <deque>
#include <vector>

#include "shell/prompts.h"

namespace varnock::test {

struct RecordedMessage {
  QString Text;
  QString Caption;
  PromptButtons Buttons;
  PromptIcon Icon;
};

struct RecordedFileDialog {
  QString Title;
  QString Filter;
  QString DefaultExtension;
  QString Preset;
  bool Save = false;
  QString StartFolder;  // where the real dialog would open (DialogStartFolder)
};

class ScriptedPrompts : public Prompts {
 public:
  // Installs itself for the object's lifetime.
  ScriptedPrompts();
  ~ScriptedPrompts() override;

  PromptAnswer MessageBox(const QString& text, const QString& caption, PromptButtons buttons,
                          PromptIcon icon) override;
  std::optional<QString> OpenFileName(const FileDialogInfo& dialog, const QString& preset) override;
  std::optional<QString> SaveFileName(const FileDialogInfo& dialog, const QString& preset) override;
  std::optional<QColor> ChooseColor(const QColor& initial) override;
  // Records the question; answers from Texts (an empty queue cancels).
  std::optional<QString> AskText(const QString& caption, const QString& label,
                                 const QString& preset) override;
  // Records the dialog like SaveFileName; the chosen filter comes from Filters (-1 when empty).
  std::optional<QString> SaveFileNameWithFilter(const FileDialogInfo& dialog, const QString& preset,
                                                int* chosenFilter) override;

  // Answers, used in order. An empty queue answers OK to messages (or Cancel when a Yes/No/
  // Cancel question finds none: a test must say Yes or No explicitly) and cancels dialogs.
  std::deque<PromptAnswer> Answers;
  std::deque<std::optional<QString>> FileNames;
  std::deque<std::optional<QColor>> Colors;
  std::deque<int> Filters;
  std::deque<std::optional<QString>> Texts;

  std::vector<RecordedMessage> Messages;
  std::vector<RecordedFileDialog> FileDialogs;
  std::vector<QColor> ColorRequests;
  struct TextQuestion {
    QString Caption;
    QString Label;
    QString Preset;
  };
  std::vector<TextQuestion> TextQuestions;

 private:
  std::optional<QString> NextFileName();
};

}  // namespace varnock::test
