// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/TimelineStrip.h"

#include <QAbstractScrollArea>
#include <QContextMenuEvent>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTimer>
#include <QToolTip>
#include <algorithm>
#include <climits>

namespace {
constexpr int Top = 3;
constexpr int Gap = 3;
constexpr int ScrollStep = 20;
}  // namespace

TTimelineStrip::TTimelineStrip(QAbstractScrollArea* Box, TDraw DrawThumbnail)
    : QWidget(Box->viewport()), Bar(Box->horizontalScrollBar()), Draw(std::move(DrawThumbnail)) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  Bar->setSingleStep(ScrollStep);
  connect(Bar, &QScrollBar::valueChanged, this, &TTimelineStrip::ScrollTo);
  Box->viewport()->installEventFilter(this);
  setGeometry(Box->viewport()->rect());
  UpdateExtent();
}

void TTimelineStrip::SetThumbnailSize(QSize NewSize) {
  NewSize = NewSize.expandedTo(QSize(1, 1));
  if (NewSize == Size) return;
  Size = NewSize;
  ForgetAll();
  UpdateExtent();
  update();
}

QRect TTimelineStrip::Place(int Index) const {
  // Thumbnails beyond what an int can place (hundreds of gigabytes of them)
  // stay at the end of the reachable content.
  const qint64 left = Gap + qint64(Index) * (Size.width() + Gap);
  return QRect(static_cast<int>(std::min<qint64>(left, INT_MAX - Size.width())), Top, Size.width(), Size.height());
}

TThumbnail TTimelineStrip::Thumbnail(int Index) { return TThumbnail{PictureOf(Index), Place(Index)}; }

void TTimelineStrip::Append(TThumbnailMaking How, int Added) {
  const int first = Count();
  Entries.reserve(Entries.size() + static_cast<std::size_t>(std::max(0, Added)));
  for (int i = 0; i < Added; ++i) Entries.push_back(NewEntry(How));
  UpdateExtent();
  UpdateFrom(first);
}

void TTimelineStrip::Insert(int Index, int Source) {
  const TEntry source = Entries.at(Source);
  const TEntry entry = NewEntry(source.Supersampled ? TThumbnailMaking::Supersampled : TThumbnailMaking::FullSize);
  // The new thumbnail's frame is a copy of Source's: so is its picture.
  if (const auto found = Cache.find(source.Key); found != Cache.end()) Keep(entry.Key, found->second.Picture);
  Entries.insert(Entries.begin() + Index, entry);
  ClearSelection();
  UpdateExtent();
  UpdateFrom(Index);
}

void TTimelineStrip::InsertNew(int Index, TThumbnailMaking How) {
  Entries.insert(Entries.begin() + Index, NewEntry(How));
  ClearSelection();
  UpdateExtent();
  UpdateFrom(Index);
}

void TTimelineStrip::Remove(int Index) {
  Forget(Entries.at(Index).Key);
  Entries.erase(Entries.begin() + Index);
  ClearSelection();
  UpdateExtent();
  UpdateFrom(Index);
}

void TTimelineStrip::Clear() {
  Entries.clear();
  ClearSelection();
  Anchor = -1;
  ForgetAll();
  UpdateExtent();
  update();
}

void TTimelineStrip::FrameChanged(int Index, TThumbnailMaking How) {
  Forget(Entries.at(Index).Key);
  Entries[Index] = NewEntry(How);
  UpdateContent(Place(Index));
}

void TTimelineStrip::RemakeAll() {
  ForgetAll();
  for (TEntry& entry : Entries) entry.Supersampled = 1;
  update();
}

const QImage& TTimelineStrip::PictureOf(int Index) {
  const TEntry entry = Entries.at(Index);
  if (const auto found = Cache.find(entry.Key); found != Cache.end()) {
    Uses.splice(Uses.begin(), Uses, found->second.Use);
    return found->second.Picture;
  }
  QImage picture =
      Draw ? Draw(Index, entry.Supersampled ? TThumbnailMaking::Supersampled : TThumbnailMaking::FullSize) : QImage();
  // A picture that could not be made (no memory for it) is tried again next time.
  static const QImage None;
  if (picture.isNull()) return None;
  Keep(entry.Key, picture);
  return Cache.at(entry.Key).Picture;
}

void TTimelineStrip::Keep(uint64_t Key, const QImage& Picture) {
  Uses.push_front(Key);
  Cache[Key] = TCached{Picture, Uses.begin()};
  CacheBytes += Picture.sizeInBytes();
  // The least recently seen go first; the one just kept always stays.
  while (CacheBytes > CacheBudget && Uses.size() > 1) Forget(Uses.back());
}

void TTimelineStrip::Forget(uint64_t Key) {
  const auto found = Cache.find(Key);
  if (found == Cache.end()) return;
  CacheBytes -= found->second.Picture.sizeInBytes();
  Uses.erase(found->second.Use);
  Cache.erase(found);
}

void TTimelineStrip::ForgetAll() {
  Cache.clear();
  Uses.clear();
  CacheBytes = 0;
}

std::pair<int, int> TTimelineStrip::VisibleRange() const {
  if (Entries.empty()) return {0, -1};
  const qint64 step = Size.width() + Gap;
  const qint64 first = std::max<qint64>(0, (Offset - Gap) / step);
  const qint64 last = std::min<qint64>(Count() - 1, (qint64(Offset) + width()) / step);
  return {static_cast<int>(first), static_cast<int>(last)};
}

void TTimelineStrip::DrawPending() {
  const auto [first, last] = VisibleRange();
  for (int i = std::max(0, first - Margin); i <= std::min(Count() - 1, last + Margin); ++i) PictureOf(i);
}

void TTimelineStrip::ScheduleMargin() {
  if (MarginScheduled) return;
  MarginScheduled = true;
  // The thumbnails beside the visible ones are drawn once the window is
  // idle, so a scroll step usually finds them ready.
  QTimer::singleShot(0, this, [this] {
    MarginScheduled = false;
    DrawPending();
  });
}

int TTimelineStrip::IndexAt(const QPoint& Point) const {
  if (Entries.empty() || Point.x() < Gap) return -1;
  const qint64 index = (qint64(Point.x()) - Gap) / (Size.width() + Gap);
  if (index >= Count()) return -1;
  return Place(static_cast<int>(index)).contains(Point) ? static_cast<int>(index) : -1;
}

int TTimelineStrip::ContentWidth() const {
  if (Entries.empty()) return 0;
  // A strip longer than the scroll bar can count would need hundreds of
  // gigabytes of thumbnails; the bar stops there rather than wrapping round.
  const qint64 right = Gap + qint64(Count()) * (Size.width() + Gap);
  return static_cast<int>(std::min<qint64>(right, INT_MAX));
}

void TTimelineStrip::UpdateExtent() {
  // Setting the range brings the position into it; the bar then tells ScrollTo.
  Bar->setPageStep(std::max(1, width()));
  Bar->setRange(0, std::max(0, ContentWidth() - width()));
}

void TTimelineStrip::UpdateFrom(int First) {
  const QRect from = Place(First);
  update(QRect(ToView(from).left(), 0, std::max(0, width() - ToView(from).left()), height()));
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
    for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
      child->move(child->pos() + QPoint(shift, 0));
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
      QToolTip::showText(help->globalPos(), Hint(index), this, ToView(Place(index)));
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
  if (Entries.empty()) return;
  // Only the thumbnails in the exposed area are drawn, their pictures made
  // now if they are not in the cache.
  const qint64 step = Size.width() + Gap;
  const qint64 first = std::max<qint64>(0, (qint64(area.left()) + Offset - Gap) / step);
  const qint64 last = std::min<qint64>(Count() - 1, (qint64(area.right()) + Offset) / step);
  for (qint64 i = first; i <= last; ++i) {
    const QImage& picture = PictureOf(static_cast<int>(i));
    const QRect place = ToView(Place(static_cast<int>(i)));
    if (!picture.isNull()) painter.drawImage(place, picture);
    // Thumbnails selected together are framed in the highlight colour.
    if (Selected.Holds(static_cast<int>(i))) {
      painter.setPen(QPen(palette().highlight(), 2));
      painter.drawRect(place.adjusted(-1, -1, 0, 0));
    }
  }
  ScheduleMargin();
}

void TTimelineStrip::mousePressEvent(QMouseEvent* Event) {
  PressedIndex = Event->button() == Qt::LeftButton ? IndexAt(ToContent(Event->position().toPoint())) : -1;
  PressedWithShift = Event->modifiers() & Qt::ShiftModifier;
}

void TTimelineStrip::mouseReleaseEvent(QMouseEvent* Event) {
  if (Event->button() != Qt::LeftButton) return;
  const int index = IndexAt(ToContent(Event->position().toPoint()));
  const bool click = index >= 0 && index == PressedIndex;
  PressedIndex = -1;
  if (!click) return;
  if (PressedWithShift && Anchor >= 0) {
    SelectTo(index);
    return;
  }
  ClearSelection();
  Anchor = index;
  emit Clicked(index);
}

void TTimelineStrip::SelectTo(int Index) {
  if (Index < 0 || Index >= Count()) return;
  const int from = Anchor >= 0 && Anchor < Count() ? Anchor : Index;
  Selected = {std::min(from, Index), std::max(from, Index)};
  update();
  emit SelectionChanged();
}

void TTimelineStrip::ClearSelection() {
  if (Selected.First < 0) return;
  Selected = {};
  update();
  emit SelectionChanged();
}

void TTimelineStrip::contextMenuEvent(QContextMenuEvent* Event) {
  const int index = IndexAt(ToContent(Event->pos()));
  if (index >= 0) emit PopupRequested(index, Event->globalPos());
}
