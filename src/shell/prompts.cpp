#include "shell/prompts.h"

#include <QApplication>
#include <QColorDialog>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>
#include <QRegularExpression>
#include <QStringList>
#include <cstdio>

#include "shell/window_places.h"

namespace varnock {
namespace {

const QString kTitle = QStringLiteral("Varnock Pro");

class DialogPrompts final : public Prompts {
 public:
  PromptAnswer MessageBox(const QString& text, const QString& caption, PromptButtons buttons,
                          PromptIcon icon) override {
    const QMessageBox::Icon shown = icon == PromptIcon::Stop       ? QMessageBox::Critical
                                    : icon == PromptIcon::Question ? QMessageBox::Question
                                                                   : QMessageBox::Information;
    QMessageBox box(shown, caption, text, QMessageBox::NoButton, QApplication::activeWindow());
    KeepAboveToolWindows(&box);
    switch (buttons) {
      case PromptButtons::Ok:
        box.setStandardButtons(QMessageBox::Ok);
        break;
      case PromptButtons::YesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        break;
      case PromptButtons::YesNoCancel:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        break;
    }
    switch (box.exec()) {
      case QMessageBox::Yes:
        return PromptAnswer::Yes;
      case QMessageBox::No:
        return PromptAnswer::No;
      case QMessageBox::Cancel:
        return PromptAnswer::Cancel;
      default:
        // Closing a Yes/No/Cancel box with Esc or its close button means Cancel.
        return buttons == PromptButtons::Ok ? PromptAnswer::Ok : PromptAnswer::Cancel;
    }
  }

  std::optional<QString> OpenFileName(const FileDialogInfo& dialog,
                                      const QString& preset) override {
    return Run(dialog, preset, QFileDialog::AcceptOpen);
  }

  std::optional<QString> SaveFileName(const FileDialogInfo& dialog,
                                      const QString& preset) override {
    return Run(dialog, preset, QFileDialog::AcceptSave);
  }

  std::optional<QString> SaveFileNameWithFilter(const FileDialogInfo& dialog, const QString& preset,
                                                int* chosenFilter) override {
    return Run(dialog, preset, QFileDialog::AcceptSave, chosenFilter);
  }

  std::optional<QColor> ChooseColor(const QColor& initial) override {
    QColorDialog dialog(initial, QApplication::activeWindow());
    KeepAboveToolWindows(&dialog);
    if (dialog.exec() != QDialog::Accepted || !dialog.selectedColor().isValid())
      return std::nullopt;
    return dialog.selectedColor();
  }

  std::optional<QString> AskText(const QString& caption, const QString& label,
                                 const QString& preset) override {
    QInputDialog dialog(QApplication::activeWindow());
    KeepAboveToolWindows(&dialog);
    dialog.setWindowTitle(caption);
    // Wide enough for the caption to read whole in a window manager's title bar.
    dialog.setMinimumWidth(320);
    dialog.setLabelText(label);
    dialog.setTextValue(preset);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.textValue();
  }

 private:
  static std::optional<QString> Run(const FileDialogInfo& info, const QString& preset,
                                    QFileDialog::AcceptMode mode, int* chosenFilter = nullptr) {
    QFileDialog dialog(QApplication::activeWindow(), info.Title);
    KeepAboveToolWindows(&dialog);
    dialog.setAcceptMode(mode);
    const QStringList filters = QtNameFilters(info.Filter).split(QStringLiteral(";;"));
    dialog.setNameFilters(filters);
    if (chosenFilter && mode == QFileDialog::AcceptSave) {
      // A name typed without an extension takes the chosen filter's, so the file is written in
      // the kind the user picked.
      QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog](const QString& f) {
        static const QRegularExpression firstExtension(QStringLiteral("\\*\\.(\\w+)"));
        const QRegularExpressionMatch match = firstExtension.match(f);
        if (match.hasMatch()) dialog.setDefaultSuffix(match.captured(1));
      });
    }
    dialog.setFileMode(info.FileMustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    if (!info.DefaultExtension.isEmpty()) dialog.setDefaultSuffix(info.DefaultExtension);
    if (mode == QFileDialog::AcceptSave && !info.DefaultExtension.isEmpty()) {
      // Choosing another file type also changes the extension a bare name gets.
      QObject::connect(
          &dialog, &QFileDialog::filterSelected, &dialog, [&dialog, &info](const QString& filter) {
            const QString extension = FilterExtension(filter);
            dialog.setDefaultSuffix(extension.isEmpty() ? info.DefaultExtension : extension);
          });
    }
    if (!info.OverwritePrompt) dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (const QString folder = DialogStartFolder(preset); !folder.isEmpty())
      dialog.setDirectory(folder);
    if (!preset.isEmpty()) dialog.selectFile(preset);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    if (chosenFilter)
      *chosenFilter = static_cast<int>(filters.indexOf(dialog.selectedNameFilter()));
    RememberFileFolder(dialog.selectedFiles().first());
    return dialog.selectedFiles().first();
  }
};

class StandardErrorPrompts final : public Prompts {
 public:
  PromptAnswer MessageBox(const QString& text, const QString& caption, PromptButtons buttons,
                          PromptIcon) override {
    std::fprintf(stderr, "%s: %s\n", caption.toLocal8Bit().constData(),
                 text.toLocal8Bit().constData());
    std::fflush(stderr);
    switch (buttons) {
      case PromptButtons::Ok:
        return PromptAnswer::Ok;
      case PromptButtons::YesNo:
        return PromptAnswer::No;
      case PromptButtons::YesNoCancel:
        break;
    }
    return PromptAnswer::Cancel;
  }
  std::optional<QString> OpenFileName(const FileDialogInfo&, const QString&) override {
    return std::nullopt;
  }
  std::optional<QString> SaveFileName(const FileDialogInfo&, const QString&) override {
    return std::nullopt;
  }
  std::optional<QColor> ChooseColor(const QColor&) override { return std::nullopt; }
  std::optional<QString> AskText(const QString& caption, const QString& label,
                                 const QString&) override {
    std::fprintf(stderr, "%s: %s (no answer without a user)\n", caption.toLocal8Bit().constData(),
                 label.toLocal8Bit().constData());
    std::fflush(stderr);
    return std::nullopt;
  }
};

DialogPrompts& RealPrompts() {
  static DialogPrompts prompts;
  return prompts;
}

Prompts* installed = nullptr;

QString& LastFileFolder() {
  static QString folder;
  return folder;
}

}  // namespace

Prompts& UnattendedPrompts() {
  static StandardErrorPrompts prompts;
  return prompts;
}

Prompts& CurrentPrompts() {
  return installed ? *installed : RealPrompts();
}

void SetPrompts(Prompts* prompts) {
  installed = prompts;
}

QString PathForDisplay(const std::string& path) {
  return QFile::decodeName(QByteArray::fromStdString(path));
}

std::string PathBytes(const QString& name) {
  return QFile::encodeName(name).toStdString();
}

void RememberFileFolder(const QString& path) {
  LastFileFolder() = path.isEmpty() ? QString() : QFileInfo(path).absolutePath();
}

QString DialogStartFolder(const QString& preset) {
  if (preset.contains(QLatin1Char('/'))) return {};
  return LastFileFolder();
}

void KeepAboveToolWindows(QWidget* window) {
  window->setWindowFlag(Qt::WindowStaysOnTopHint);
  OpenClearOfToolWindows(window);
}

void ShowError(const QString& text) {
  CurrentPrompts().MessageBox(text, kTitle, PromptButtons::Ok, PromptIcon::Stop);
}

void ShowNotAnInteger(const QString& text) {
  ShowError(QStringLiteral("'%1' non è un valore integer valido").arg(text));
}

QString QtNameFilters(const QString& filter) {
  const QStringList parts = filter.split(QLatin1Char('|'));
  QStringList result;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    QStringList patterns;
    for (QString pattern : parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
      pattern = pattern.trimmed();
      pattern.remove(QLatin1Char(')'));  // one designed pattern list carries a stray bracket
      if (pattern.isEmpty()) continue;
      // "*.*" would hide files without an extension on this system.
      if (pattern == QStringLiteral("*.*")) pattern = QStringLiteral("*");
      patterns << pattern;
      if (pattern != pattern.toLower()) patterns << pattern.toLower();
    }
    result << parts[i] + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
  }
  return result.join(QStringLiteral(";;"));
}

QString FilterExtension(const QString& qtFilter) {
  const qsizetype open = qtFilter.lastIndexOf(QLatin1Char('('));
  const qsizetype close = qtFilter.lastIndexOf(QLatin1Char(')'));
  if (open < 0 || close < open) return {};
  QString extension;
  for (const QString& pattern :
       qtFilter.mid(open + 1, close - open - 1).split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
    if (!pattern.startsWith(QStringLiteral("*.")) || pattern.size() < 3) return {};
    const QString candidate = pattern.mid(2);
    if (candidate.contains(QLatin1Char('*')) || candidate.contains(QLatin1Char('?'))) return {};
    if (extension.isEmpty()) {
      extension = candidate;
    } else if (extension.compare(candidate, Qt::CaseInsensitive) != 0) {
      return {};
    }
  }
  return extension;
}

}  // namespace varnock
