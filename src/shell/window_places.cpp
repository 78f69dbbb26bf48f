#include "shell/window_places.h"

#include <QCoreApplication>
#include <QEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScreen>
#include <vector>

#include "palette/pal_form.h"
#include "shell/forms.h"
#include "shell/main_form.h"
#include "tools/clip_form.h"
#include "tools/edit_form.h"
#include "tools/window_placement.h"

namespace varnock {
namespace {

PlaceRect ToPlace(const QRect& rect) {
  return {rect.x(), rect.y(), rect.width(), rect.height()};
}

std::vector<PlaceRect> ToPlaces(const QList<QRect>& rects, QPoint origin) {
  std::vector<PlaceRect> places;
  for (const QRect& rect : rects) places.push_back(ToPlace(rect.translated(-origin)));
  return places;
}

// The window manager's decoration around a window it has not shown yet: what it puts around
// the frame window, which it already shows (nothing without a window manager).
QMargins ExpectedDecoration(const QWidget* window) {
  const QRect inner = window->geometry(), outer = window->frameGeometry();
  if (inner != outer || !MainForm || MainForm == window || !MainForm->isVisible())
    return {inner.left() - outer.left(), inner.top() - outer.top(), outer.right() - inner.right(),
            outer.bottom() - inner.bottom()};
  const QRect mainInner = MainForm->geometry(), mainOuter = MainForm->frameGeometry();
  return {mainInner.left() - mainOuter.left(), mainInner.top() - mainOuter.top(),
          mainOuter.right() - mainInner.right(), mainOuter.bottom() - mainInner.bottom()};
}

// Lets the window place itself on showing (a dialog centres over its parent there), then
// moves it clear, before the window system maps it. The window manager's decoration is only
// guessed then; once it is known (the window moves or is activated after it is mapped), the
// window moves again if its real frame still covers a tool.
class ClearOnShow final : public QObject {
 public:
  explicit ClearOnShow(QWidget* window) : QObject(window), window_(window) {
    window->installEventFilter(this);
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched != window_ || inside_) return false;
    const bool mapped = event->type() == QEvent::Move || event->type() == QEvent::WindowActivate;
    if (mapped && decorationGuessed_ && window_->frameGeometry() != window_->geometry()) {
      decorationGuessed_ = false;
      MoveClearOfToolWindows(window_);
      return false;
    }
    if (event->type() != QEvent::Show || event->spontaneous()) return false;
    inside_ = true;
    QCoreApplication::sendEvent(window_, event);
    inside_ = false;
    decorationGuessed_ = window_->frameGeometry() == window_->geometry();
    MoveClearOfToolWindows(window_);
    return true;
  }

 private:
  QWidget* window_;
  bool inside_ = false;
  bool decorationGuessed_ = false;
};

}  // namespace

QList<QRect> ShownToolWindowFrames() {
  QList<QRect> frames;
  for (QWidget* tool : {static_cast<QWidget*>(PalForm), static_cast<QWidget*>(EditForm),
                        static_cast<QWidget*>(ClipForm)})
    if (tool && tool->window()->isVisible()) frames << tool->window()->frameGeometry();
  return frames;
}

bool PlaceInFreePart(QMdiSubWindow* window, const QList<QPoint>& first) {
  QMdiArea* area = window->mdiArea();
  if (!area) return false;
  QWidget* viewport = area->viewport();
  const PlaceRect client{0, 0, viewport->width(), viewport->height()};
  const std::vector<PlaceRect> covered =
      ToPlaces(ShownToolWindowFrames(), viewport->mapToGlobal(QPoint(0, 0)));
  const PlaceSize size{window->width(), window->height()};
  std::vector<PlacePoint> taken;
  for (const QMdiSubWindow* other : area->subWindowList())
    if (other != window && other->isVisible()) taken.push_back({other->x(), other->y()});
  for (const QPoint& at : first) {
    const PlacePoint place{at.x(), at.y()};
    if (LiesClear(client, covered, place, size) && std::ranges::find(taken, place) == taken.end()) {
      window->move(at);
      return true;
    }
  }
  // Each window of the cascade shows the caption of the one before it.
  const int step = window->widget() ? window->height() - window->widget()->height() : 0;
  const std::optional<PlacePoint> at = CascadePlace(client, covered, size, step, taken);
  if (!at) return false;
  window->move(at->X, at->Y);
  return true;
}

void MoveClearOfToolWindows(QWidget* window) {
  const QScreen* screen = window->screen();
  if (!screen || !window->isWindow()) return;
  const QMargins decoration = ExpectedDecoration(window);
  const QRect frame = window->geometry().marginsAdded(decoration);
  const std::vector<PlaceRect> covered = ToPlaces(ShownToolWindowFrames(), QPoint(0, 0));
  const PlacePoint at = ClearPlace(ToPlace(screen->availableGeometry()), covered,
                                   {frame.width(), frame.height()}, {frame.x(), frame.y()});
  // A window's position is its frame's.
  if (QPoint(at.X, at.Y) != frame.topLeft()) window->move(at.X, at.Y);
}

void OpenClearOfToolWindows(QWidget* window) {
  new ClearOnShow(window);
}

}  // namespace varnock
