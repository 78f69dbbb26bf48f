// Every modal question, file dialog and colour dialog goes through here, so tests can answer
// them from a script and check their exact words.
#pragma once

#include <string>

#include <QColor>
#include <QString>
#include <QWidget>
#include <optional>

namespace varnock {

enum class PromptButtons { Ok, YesNo, YesNoCancel };
enum class PromptIcon { Stop, Question, Information };
enum class PromptAnswer { Ok, Yes, No, Cancel };

// A common file dialog as the frame designs it. `Filter` uses "description|pattern|..." pairs.
struct FileDialogInfo {
  QString Title;
  QString Filter;
  QString DefaultExtension;  // without the dot; empty for none
  bool OverwritePrompt = false;
  bool FileMustExist = false;
};

class Prompts {
 public:
  virtual ~Prompts() = default;
  virtual PromptAnswer MessageBox(const QString& text, const QString& caption,
                                  PromptButtons buttons, PromptIcon icon) = 0;
  virtual std::optional<QString> OpenFileName(const FileDialogInfo& dialog,
                                              const QString& preset) = 0;
  virtual std::optional<QString> SaveFileName(const FileDialogInfo& dialog,
                                              const QString& preset) = 0;
  virtual std::optional<QColor> ChooseColor(const QColor& initial) = 0;
  // A line of text the user types, `preset` offered; nothing when cancelled.
  virtual std::optional<QString> AskText(const QString& caption, const QString& label,
                                         const QString& preset) = 0;
  // A save dialog that also says which of its filters was chosen (0 for the first), or -1
  // when that is not known; prompts that cannot tell leave it at -1.
  virtual std::optional<QString> SaveFileNameWithFilter(const FileDialogInfo& dialog,
                                                        const QString& preset, int* chosenFilter) {
    *chosenFilter = -1;
    return SaveFileName(dialog, preset);
  }
};

// Prompts for a run nobody watches (the screenshot mode): every message goes to standard
// error after its caption, every question takes its safe answer (No, or Cancel where offered)
// and no dialog opens, so nothing waits for a click that cannot come.
Prompts& UnattendedPrompts();

// The installed prompts (the real dialogs unless a test installed its own).
Prompts& CurrentPrompts();
// Installs `prompts` (not owned); null goes back to the real dialogs.
void SetPrompts(Prompts* prompts);

// File names are bytes on Linux: the text dialogs and messages show for a name (what does not
// decode shows as replacement characters), and the bytes of a name a dialog chose.
QString PathForDisplay(const std::string& path);
std::string PathBytes(const QString& name);

// The folder of the last file opened or saved in this run. A file dialog whose preset names no
// folder starts there (DialogStartFolder); before any file it starts where the system puts it.
// An empty path forgets the folder.
void RememberFileFolder(const QString& path);
// The folder a file dialog preset with `preset` starts in: the preset's own when it names one
// (the dialog then finds it itself: empty is returned), otherwise the remembered one (or empty).
QString DialogStartFolder(const QString& preset);

// The tool windows stay above every other window of the program; a window that asks the user
// something must come above them, or they cover parts of it. Where its screen allows, it also
// opens clear of them.
void KeepAboveToolWindows(QWidget* window);

// Stop-icon box with an OK button titled "Varnock Pro".
void ShowError(const QString& text);

// The conversion error shown for text that is not a whole number (the text as it was parsed).
void ShowNotAnInteger(const QString& text);

// "description|pattern|..." as Qt name filters ("description (pattern pattern)").
QString QtNameFilters(const QString& filter);

// The extension a Qt name filter stands for when all its patterns are one "*.EXT" (in either
// case); empty otherwise. A save dialog gives it to names typed without an extension.
QString FilterExtension(const QString& qtFilter);

}  // namespace varnock
