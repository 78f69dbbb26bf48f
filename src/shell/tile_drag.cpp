#include "shell/tile_drag.h"

#include <QCoreApplication>
#include <QDrag>
#include <QUrl>

#include "shell/forms.h"
#include "shell/main_form.h"

namespace varnock {
namespace {

QByteArray ProcessTag() {
  return QByteArray::number(QCoreApplication::applicationPid());
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

void StartTileDrag(QWidget* source) {
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

}  // namespace varnock
