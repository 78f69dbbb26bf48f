#include "shell/tile_drag.h"

#include <QApplication>
#include <QDrag>
#include <QPointer>
#include <QUrl>
#include <memory>

#include "shell/forms.h"
#include "shell/main_form.h"

namespace varnock {
namespace {

QByteArray ProcessTag() {
  return QByteArray::number(QCoreApplication::applicationPid());
}

struct PendingDrag {
  QPointer<QWidget> Source;
  QPoint PressPos;
};

PendingDrag& Pending() {
  static PendingDrag pending;
  return pending;
}

TileDragRunner& Runner() {
  static TileDragRunner runner;
  return runner;
}

}  // namespace

QMimeData* NewTileDragData() {
  auto* data = new QMimeData();
  data->setData(QString::fromLatin1(kTileDragMimeType), ProcessTag());
  return data;
}

bool IsOwnTileDrag(const QMimeData* data) {
  return data && data->hasFormat(QString::fromLatin1(kTileDragMimeType)) &&
         data->data(QString::fromLatin1(kTileDragMimeType)) == ProcessTag();
}

bool IsFileDrop(const QMimeData* data) {
  if (!data || !data->hasUrls()) return false;
  for (const QUrl& url : data->urls())
    if (url.isLocalFile()) return true;
  return false;
}

bool IsProgramDrop(const QMimeData* data) {
  return IsOwnTileDrag(data) || IsFileDrop(data);
}

void StartTileDrag(QWidget* source) {
  if (!source) return;
  if (Runner()) {
    const std::unique_ptr<QMimeData> data(NewTileDragData());
    Runner()(source, *data);
    return;
  }
  auto* drag = new QDrag(source);
  drag->setMimeData(NewTileDragData());
  drag->exec(Qt::CopyAction);
}

void OpenDroppedFiles(const QMimeData* data) {
  if (!MainForm || !data) return;
  // The list is copied first: opening a file runs the event loop, which may drop `data`.
  const QList<QUrl> urls = data->urls();
  for (const QUrl& url : urls)
    if (url.isLocalFile()) MainForm->OpenRom(url.toLocalFile());
}

void ArmTileDrag(QWidget* source, QPoint pressPos) {
  Pending() = {source, pressPos};
}

bool FollowTileDrag(QWidget* source, QPoint pos, Qt::MouseButtons buttons) {
  const PendingDrag& pending = Pending();
  if (!source || pending.Source != source || buttons == Qt::NoButton) return false;
  if ((pos - pending.PressPos).manhattanLength() < QApplication::startDragDistance()) return false;
  DisarmTileDrag();
  StartTileDrag(source);
  return true;
}

void DisarmTileDrag() {
  Pending() = {};
}

bool TileDragArmed() {
  return !Pending().Source.isNull();
}

void SetTileDragRunner(TileDragRunner runner) {
  Runner() = std::move(runner);
}

}  // namespace varnock
