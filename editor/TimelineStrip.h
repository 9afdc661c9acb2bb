// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The thumbnail strip: one thumbnail per stored frame, painted by this one
// widget. A thumbnail's picture is drawn only when it comes into view (or
// next to it) and kept in a cache bounded by memory, so opening, redrawing
// and scrolling cost what shows, whatever the number of frames. Each
// thumbnail has its place and its index; its hint is "Frame" and the 1-based
// frame number. The marker around the frame under edit is a raised bevel, a
// child of the strip.
//
// The strip never grows past its scrolling box: it fills the box's visible
// area and keeps its own scroll position, the value of the box's horizontal
// scroll bar. So the strip reaches every frame however long it gets, where
// a widget as long as all thumbnails would stop at the toolkit's largest
// widget width (16,777,215 pixels: some 300 frames of a 10000 x 10 drawing).
//
// Thumbnail places are content coordinates: x = 0 is the left edge of the
// visible area when the strip is scrolled to its start. Child widgets (the
// marker) live in view coordinates and move with the content as it scrolls.

#include <QImage>
#include <QRect>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <list>
#include <unordered_map>
#include <vector>

class QAbstractScrollArea;
class QScrollBar;

// How a thumbnail's picture is made from its frame: as Next Frame makes it
// (the frame drawn at full size, then reduced), or as a redraw of all
// thumbnails and a project being opened make it (drawn at twice the
// thumbnail's size, then halved). The two differ in their pixels, and each
// thumbnail keeps the way its picture was last made.
enum class TThumbnailMaking : uint8_t { FullSize, Supersampled };

struct TThumbnail {
  QImage Picture;  // shown stretched into Geometry
  QRect Geometry;  // place in the strip's content
};

class TTimelineStrip : public QWidget {
  Q_OBJECT
 public:
  // Draws the picture of thumbnail Index, made as How says.
  using TDraw = std::function<QImage(int Index, TThumbnailMaking How)>;
  // Drawn thumbnails kept at most, in bytes of their pictures.
  static constexpr qint64 DefaultCacheBudget = qint64(64) << 20;
  // Thumbnails drawn beyond either side of the visible ones.
  static constexpr int Margin = 2;

  // The strip fills Box's visible area and scrolls with Box's horizontal bar.
  explicit TTimelineStrip(QAbstractScrollArea* Box, TDraw Draw = {});
  // How thumbnails are drawn from now on; without it they stay blank.
  void SetDraw(TDraw DrawThumbnail) { Draw = std::move(DrawThumbnail); }

  int Count() const { return static_cast<int>(Entries.size()); }
  // Every thumbnail's size; a new size makes every drawn picture stale.
  void SetThumbnailSize(QSize Size);
  QSize ThumbnailSize() const { return Size; }
  // Place of thumbnail Index in the content.
  QRect Place(int Index) const;
  // Thumbnail Index with its picture, drawn now if it is not in the cache.
  TThumbnail Thumbnail(int Index);

  // Count thumbnails after the last, made as How says.
  void Append(TThumbnailMaking How, int Count = 1);
  // A thumbnail at Index that shows what thumbnail Source showed (Source
  // counts before the insertion); those from Index on move one place along.
  void Insert(int Index, int Source);
  // A thumbnail at Index of a new frame, made as How says.
  void InsertNew(int Index, TThumbnailMaking How);
  void Remove(int Index);
  void Clear();
  // Frame Index changed: its picture is drawn again, made as How says.
  void FrameChanged(int Index, TThumbnailMaking How);
  // The background or the size changed: every picture is stale and will be
  // made by supersampling.
  void RemakeAll();

  // The thumbnail under a point of the content, or -1.
  int IndexAt(const QPoint& Point) const;

  // The thumbnails selected together by Shift+click, First to Last; none
  // (First -1) after a plain click or any change of the frames.
  struct TRange {
    int First = -1, Last = -1;
    bool Holds(int Index) const { return First >= 0 && Index >= First && Index <= Last; }
  };
  TRange Selection() const { return Selected; }
  // Selects the thumbnails from the last one clicked to Index.
  void SelectTo(int Index);
  void ClearSelection();
  static QString Hint(int Index) { return QStringLiteral("Frame%1").arg(Index + 1); }

  // Width of the content: up to the last thumbnail and a gap after it.
  int ContentWidth() const;
  // The content x shown at the left edge of the visible area.
  int ScrollPosition() const { return Offset; }
  QPoint ToContent(const QPoint& ViewPoint) const { return ViewPoint + QPoint(Offset, 0); }
  QRect ToView(const QRect& ContentRect) const { return ContentRect.translated(-Offset, 0); }
  // The thumbnails that show, and those within the margin beside them.
  std::pair<int, int> VisibleRange() const;

  // Brings the scroll bar's range up to date with the content.
  void UpdateExtent();
  // Draws now what would otherwise be drawn when the strip is next idle.
  void DrawPending();
  // What the cache holds: pictures and their bytes.
  int CachedCount() const { return static_cast<int>(Cache.size()); }
  qint64 CachedBytes() const { return CacheBytes; }
  void SetCacheBudget(qint64 Bytes) { CacheBudget = Bytes; }

 signals:
  void Clicked(int Index);
  // Shift+click selected thumbnails without opening a frame.
  void SelectionChanged();
  // The pop-up menu is about to open on thumbnail Index at GlobalPos.
  void PopupRequested(int Index, const QPoint& GlobalPos);

 protected:
  bool event(QEvent* Event) override;
  bool eventFilter(QObject* Watched, QEvent* Event) override;
  void paintEvent(QPaintEvent* Event) override;
  void mousePressEvent(QMouseEvent* Event) override;
  void mouseReleaseEvent(QMouseEvent* Event) override;
  void contextMenuEvent(QContextMenuEvent* Event) override;

 private:
  // Per thumbnail: the key of its picture in the cache, and how it is made.
  struct TEntry {
    uint64_t Key : 63;
    uint64_t Supersampled : 1;
  };
  struct TCached {
    QImage Picture;
    std::list<uint64_t>::iterator Use;  // in Uses, most recent first
  };

  TEntry NewEntry(TThumbnailMaking How) { return TEntry{NextKey++, How == TThumbnailMaking::Supersampled}; }
  // The picture of thumbnail Index from the cache, drawn and kept when missing.
  const QImage& PictureOf(int Index);
  void Keep(uint64_t Key, const QImage& Picture);
  void Forget(uint64_t Key);
  void ForgetAll();
  void ScheduleMargin();
  void ScrollTo(int Position);
  // Schedules a repaint of a content rectangle where it shows.
  void UpdateContent(const QRect& ContentRect) { update(ToView(ContentRect)); }
  // Schedules a repaint of thumbnails First.. to the end of the content.
  void UpdateFrom(int First);

  QScrollBar* Bar;
  TDraw Draw;
  QSize Size{1, 1};
  std::vector<TEntry> Entries;
  uint64_t NextKey = 1;
  std::unordered_map<uint64_t, TCached> Cache;
  std::list<uint64_t> Uses;
  qint64 CacheBytes = 0;
  qint64 CacheBudget = DefaultCacheBudget;
  bool MarginScheduled = false;
  int Offset = 0;
  int PressedIndex = -1;
  bool PressedWithShift = false;
  int Anchor = -1;  // the thumbnail clicked last, where a Shift+click range starts
  TRange Selected;
};
