#pragma once
// The thumbnail strip: one thumbnail per stored frame, painted by this one
// widget so that thousands of frames cost no more to add, click, insert or
// delete than a handful. Each thumbnail keeps its place and its index; its
// hint is "Frame" and the 1-based frame number. The marker around the frame
// under edit is a raised bevel, a child of the strip.
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
#include <vector>

class QAbstractScrollArea;
class QScrollBar;

struct TThumbnail {
  QImage Picture;  // shown stretched into Geometry
  QRect Geometry;  // place in the strip's content
};

class TTimelineStrip : public QWidget {
  Q_OBJECT
 public:
  // The strip fills Box's visible area and scrolls with Box's horizontal bar.
  explicit TTimelineStrip(QAbstractScrollArea* Box);

  int Count() const { return static_cast<int>(Thumbnails.size()); }
  const TThumbnail& Thumbnail(int Index) const { return Thumbnails.at(Index); }

  // Appends a thumbnail at Geometry with Picture.
  void Append(const QRect& Geometry, const QImage& Picture);
  void RemoveLast();
  void Clear();
  void SetPicture(int Index, const QImage& Picture);
  void SetGeometry(int Index, const QRect& Geometry);
  // Moves the pictures of thumbnails First.. one place towards the end; the
  // last thumbnail's picture drops out. Places and hints stay.
  void ShiftPicturesUp(int First);
  // Moves the pictures of thumbnails First+1.. one place towards the start.
  void ShiftPicturesDown(int First);

  // The thumbnail under a point of the content, or -1.
  int IndexAt(const QPoint& Point) const;
  static QString Hint(int Index) { return QStringLiteral("Frame%1").arg(Index + 1); }

  // Width of the content: up to the last thumbnail and a gap after it.
  int ContentWidth() const;
  // The content x shown at the left edge of the visible area.
  int ScrollPosition() const { return Offset; }
  QPoint ToContent(const QPoint& ViewPoint) const { return ViewPoint + QPoint(Offset, 0); }
  QRect ToView(const QRect& ContentRect) const { return ContentRect.translated(-Offset, 0); }

  // Brings the scroll bar's range up to date with the content.
  void UpdateExtent();

 signals:
  void Clicked(int Index);
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
  void ScrollTo(int Position);
  // Schedules a repaint of a content rectangle where it shows.
  void UpdateContent(const QRect& ContentRect) { update(ToView(ContentRect)); }

  QScrollBar* Bar;
  std::vector<TThumbnail> Thumbnails;
  int Offset = 0;
  int PressedIndex = -1;
};
