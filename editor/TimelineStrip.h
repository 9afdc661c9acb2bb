#pragma once
// The thumbnail strip: one thumbnail per stored frame, painted by this one
// widget so that thousands of frames cost no more to add, click, insert or
// delete than a handful. Each thumbnail keeps its place and its index; its
// hint is "Frame" and the 1-based frame number. The marker around the frame
// under edit is a raised bevel placed over the strip.

#include <QImage>
#include <QRect>
#include <QWidget>
#include <vector>

struct TThumbnail {
  QImage Picture;  // shown stretched into Geometry
  QRect Geometry;  // place in the strip
};

class TTimelineStrip : public QWidget {
  Q_OBJECT
 public:
  explicit TTimelineStrip(QWidget* Parent = nullptr);

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

  // The thumbnail under a point of the strip, or -1.
  int IndexAt(const QPoint& Point) const;
  static QString Hint(int Index) { return QStringLiteral("Frame%1").arg(Index + 1); }

  // The strip's width follows its last thumbnail.
  void UpdateExtent();

 signals:
  void Clicked(int Index);
  // The pop-up menu is about to open on thumbnail Index at GlobalPos.
  void PopupRequested(int Index, const QPoint& GlobalPos);

 protected:
  bool event(QEvent* Event) override;
  void paintEvent(QPaintEvent* Event) override;
  void mousePressEvent(QMouseEvent* Event) override;
  void mouseReleaseEvent(QMouseEvent* Event) override;
  void contextMenuEvent(QContextMenuEvent* Event) override;

 private:
  std::vector<TThumbnail> Thumbnails;
  int PressedIndex = -1;
};
