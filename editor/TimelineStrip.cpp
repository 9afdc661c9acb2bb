#include "editor/TimelineStrip.h"

#include <QContextMenuEvent>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>
#include <algorithm>

TTimelineStrip::TTimelineStrip(QWidget* Parent) : QWidget(Parent) {}

void TTimelineStrip::Append(const QRect& Geometry, const QImage& Picture) {
  Thumbnails.push_back(TThumbnail{Picture, Geometry});
  UpdateExtent();
  update(Geometry);
}

void TTimelineStrip::RemoveLast() {
  if (Thumbnails.empty()) return;
  const QRect gone = Thumbnails.back().Geometry;
  Thumbnails.pop_back();
  UpdateExtent();
  update(gone);
}

void TTimelineStrip::Clear() {
  Thumbnails.clear();
  UpdateExtent();
  update();
}

void TTimelineStrip::SetPicture(int Index, const QImage& Picture) {
  TThumbnail& t = Thumbnails.at(Index);
  t.Picture = Picture;
  update(t.Geometry);
}

void TTimelineStrip::SetGeometry(int Index, const QRect& Geometry) {
  TThumbnail& t = Thumbnails.at(Index);
  update(t.Geometry);
  t.Geometry = Geometry;
  update(Geometry);
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

void TTimelineStrip::UpdateExtent() {
  const int right = Thumbnails.empty() ? 0 : Thumbnails.back().Geometry.right() + 1 + 3;
  if (width() != right) resize(right, height());
}

bool TTimelineStrip::event(QEvent* Event) {
  if (Event->type() == QEvent::ToolTip) {
    auto* help = static_cast<QHelpEvent*>(Event);
    const int index = IndexAt(help->pos());
    if (index >= 0)
      QToolTip::showText(help->globalPos(), Hint(index), this, Thumbnails[index].Geometry);
    else
      QToolTip::hideText();
    return true;
  }
  return QWidget::event(Event);
}

void TTimelineStrip::paintEvent(QPaintEvent* Event) {
  QPainter painter(this);
  const QRect area = Event->rect();
  // Only the thumbnails in the exposed area are drawn.
  auto first = std::lower_bound(Thumbnails.begin(), Thumbnails.end(), area.left(),
                                [](const TThumbnail& T, int X) { return T.Geometry.right() < X; });
  for (auto t = first; t != Thumbnails.end() && t->Geometry.left() <= area.right(); ++t)
    painter.drawImage(t->Geometry, t->Picture);
}

void TTimelineStrip::mousePressEvent(QMouseEvent* Event) {
  PressedIndex = Event->button() == Qt::LeftButton ? IndexAt(Event->position().toPoint()) : -1;
}

void TTimelineStrip::mouseReleaseEvent(QMouseEvent* Event) {
  if (Event->button() != Qt::LeftButton) return;
  const int index = IndexAt(Event->position().toPoint());
  const bool click = index >= 0 && index == PressedIndex;
  PressedIndex = -1;
  if (click) emit Clicked(index);
}

void TTimelineStrip::contextMenuEvent(QContextMenuEvent* Event) {
  const int index = IndexAt(Event->pos());
  if (index >= 0) emit PopupRequested(index, Event->globalPos());
}
