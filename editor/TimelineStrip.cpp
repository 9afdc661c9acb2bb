#include "editor/TimelineStrip.h"

#include <QAbstractScrollArea>
#include <QContextMenuEvent>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QToolTip>
#include <algorithm>
#include <climits>

namespace {
constexpr int TrailingGap = 3;
constexpr int ScrollStep = 20;
}  // namespace

TTimelineStrip::TTimelineStrip(QAbstractScrollArea* Box)
    : QWidget(Box->viewport()), Bar(Box->horizontalScrollBar()) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  Bar->setSingleStep(ScrollStep);
  connect(Bar, &QScrollBar::valueChanged, this, &TTimelineStrip::ScrollTo);
  Box->viewport()->installEventFilter(this);
  setGeometry(Box->viewport()->rect());
  UpdateExtent();
}

void TTimelineStrip::Append(const QRect& Geometry, const QImage& Picture) {
  Thumbnails.push_back(TThumbnail{Picture, Geometry});
  UpdateExtent();
  UpdateContent(Geometry);
}

void TTimelineStrip::RemoveLast() {
  if (Thumbnails.empty()) return;
  const QRect gone = Thumbnails.back().Geometry;
  Thumbnails.pop_back();
  UpdateContent(gone);
  UpdateExtent();
}

void TTimelineStrip::Clear() {
  Thumbnails.clear();
  UpdateExtent();
  update();
}

void TTimelineStrip::SetPicture(int Index, const QImage& Picture) {
  TThumbnail& t = Thumbnails.at(Index);
  t.Picture = Picture;
  UpdateContent(t.Geometry);
}

void TTimelineStrip::SetGeometry(int Index, const QRect& Geometry) {
  TThumbnail& t = Thumbnails.at(Index);
  UpdateContent(t.Geometry);
  t.Geometry = Geometry;
  UpdateContent(Geometry);
}

void TTimelineStrip::ShiftPicturesUp(int First) {
  for (int i = Count() - 1; i > First; --i) Thumbnails[i].Picture = std::move(Thumbnails[i - 1].Picture);
  update();
}

void TTimelineStrip::ShiftPicturesDown(int First) {
  for (int i = First + 1; i < Count(); ++i) Thumbnails[i - 1].Picture = std::move(Thumbnails[i].Picture);
  update();
}

int TTimelineStrip::IndexAt(const QPoint& Point) const {
  // Thumbnails lie left to right: find the last one starting at or before the point.
  auto after = std::upper_bound(Thumbnails.begin(), Thumbnails.end(), Point.x(),
                                [](int X, const TThumbnail& T) { return X < T.Geometry.left(); });
  if (after == Thumbnails.begin()) return -1;
  const auto found = after - 1;
  return found->Geometry.contains(Point) ? static_cast<int>(found - Thumbnails.begin()) : -1;
}

int TTimelineStrip::ContentWidth() const {
  if (Thumbnails.empty()) return 0;
  // A strip longer than the scroll bar can count would need hundreds of
  // gigabytes of thumbnails; the bar stops there rather than wrapping round.
  const qint64 right = static_cast<qint64>(Thumbnails.back().Geometry.left()) + Thumbnails.back().Geometry.width();
  return static_cast<int>(std::min<qint64>(right + TrailingGap, INT_MAX));
}

void TTimelineStrip::UpdateExtent() {
  // Setting the range brings the position into it; the bar then tells ScrollTo.
  Bar->setPageStep(std::max(1, width()));
  Bar->setRange(0, std::max(0, ContentWidth() - width()));
}

void TTimelineStrip::ScrollTo(int Position) {
  const int shift = Offset - Position;
  if (shift == 0) return;
  Offset = Position;
  // Moves what shows and the children (the marker) with the content. The
  // toolkit's scroll does neither while the strip is hidden.
  if (isVisible()) {
    scroll(shift, 0);
  } else {
    for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) child->move(child->pos() + QPoint(shift, 0));
  }
}

bool TTimelineStrip::eventFilter(QObject* Watched, QEvent* Event) {
  // The strip always covers the box's visible area, whose size changes with
  // the window and when the scroll bar appears or goes.
  if (Event->type() == QEvent::Resize && Watched == parentWidget()) {
    setGeometry(parentWidget()->rect());
    UpdateExtent();
  }
  return QWidget::eventFilter(Watched, Event);
}

bool TTimelineStrip::event(QEvent* Event) {
  if (Event->type() == QEvent::ToolTip) {
    auto* help = static_cast<QHelpEvent*>(Event);
    const int index = IndexAt(ToContent(help->pos()));
    if (index >= 0)
      QToolTip::showText(help->globalPos(), Hint(index), this, ToView(Thumbnails[index].Geometry));
    else
      QToolTip::hideText();
    return true;
  }
  return QWidget::event(Event);
}

void TTimelineStrip::paintEvent(QPaintEvent* Event) {
  QPainter painter(this);
  const QRect area = Event->rect();
  painter.fillRect(area, palette().window());
  // Only the thumbnails in the exposed area are drawn.
  const int left = area.left() + Offset;
  const int right = area.right() + Offset;
  auto first = std::lower_bound(Thumbnails.begin(), Thumbnails.end(), left,
                                [](const TThumbnail& T, int X) { return T.Geometry.right() < X; });
  for (auto t = first; t != Thumbnails.end() && t->Geometry.left() <= right; ++t)
    painter.drawImage(ToView(t->Geometry), t->Picture);
}

void TTimelineStrip::mousePressEvent(QMouseEvent* Event) {
  PressedIndex = Event->button() == Qt::LeftButton ? IndexAt(ToContent(Event->position().toPoint())) : -1;
}

void TTimelineStrip::mouseReleaseEvent(QMouseEvent* Event) {
  if (Event->button() != Qt::LeftButton) return;
  const int index = IndexAt(ToContent(Event->position().toPoint()));
  const bool click = index >= 0 && index == PressedIndex;
  PressedIndex = -1;
  if (click) emit Clicked(index);
}

void TTimelineStrip::contextMenuEvent(QContextMenuEvent* Event) {
  const int index = IndexAt(ToContent(Event->pos()));
  if (index >= 0) emit PopupRequested(index, Event->globalPos());
}
