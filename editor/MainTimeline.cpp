// Frames and the thumbnail strip: Next Frame stores the working frame, a
// click on a thumbnail brings a stored frame back for editing, and the
// thumbnails' pop-up menu inserts and deletes frames.

#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>
#include <algorithm>

#include "editor/MainUnit.h"
#include "editor/TimelineStrip.h"
#include "model/Common.h"
#include "model/Pictures.h"

namespace {
// Thumbnails are kept with three bytes a pixel, a quarter less memory than
// the working pictures; they are only ever drawn scaled.
constexpr QImage::Format ThumbnailFormat = QImage::Format_RGB888;
constexpr int ThumbnailGap = 3;
}  // namespace

int TMainForm::ThumbnailHeight() const { return ScrollBox1->height() - 26; }

int TMainForm::ThumbnailWidth() const {
  // A drawing much higher than wide (10 x 10000) still gets a thumbnail one
  // pixel wide that can be seen, clicked and deleted.
  const int64_t width = static_cast<int64_t>(AnimationWidth) * ThumbnailHeight() / AnimationHeight;
  return static_cast<int>(std::max<int64_t>(width, 1));
}

void TMainForm::SyncThumbnailSize() { TimelineImages->SetThumbnailSize(QSize(ThumbnailWidth(), ThumbnailHeight())); }

QImage TMainForm::MakeThumbnail(const TFigures& Frame, TThumbnailMaking How) const {
  // Drawn larger and reduced with the box filter: as Next Frame does, at the
  // animation's size; as a redraw does, at twice the thumbnail's size. A
  // picture there is no memory for leaves the thumbnail blank for now.
  const int width = ThumbnailWidth(), height = ThumbnailHeight();
  const bool full = How == TThumbnailMaking::FullSize;
  QImage large = TryNewPicture(full ? QSize(AnimationWidth, AnimationHeight)
                                    : QSize(ThumbnailSupersample * width, ThumbnailSupersample * height));
  QImage thumbnail = TryNewPicture(QSize(width, height));
  if (large.isNull() || thumbnail.isNull()) return QImage();
  if (!full || Background.size() != large.size()) large.fill(Qt::white);
  {
    QPainter canvas(&large);
    PrepareCanvas(canvas);
    DrawFrame(canvas, Frame, full ? 1.0f : static_cast<float>(ThumbnailSupersample * height) / static_cast<float>(AnimationHeight));
  }
  ShrinkBitmap(large, thumbnail, full ? static_cast<double>(AnimationHeight) / height : ThumbnailSupersample);
  return thumbnail.convertToFormat(ThumbnailFormat);
}

void TMainForm::PlaceMarker(int Index) {
  const QRect t = TimelineImages->ToView(TimelineImages->Place(Index));
  Bevel1->setGeometry(t.left() - 2, t.top() - 2, t.width() + 5, t.height() + 4);
  Bevel1->show();
}

void TMainForm::HideMarker() { Bevel1->hide(); }

void TMainForm::ScrollStripToEnd() {
  QScrollBar* bar = ScrollBox1->horizontalScrollBar();
  bar->setValue(bar->maximum());
}

void TMainForm::StartNewFrameFromLast() {
  // The working frame becomes the new frame after the last stored one.
  EditFrame = Frames.back();
  SelectedFigure = 0;
  EnableFigureControls(EditFrame.Count() > 0);
  DrawGhost(Underlay, EditFrame);
  DrawFigures();
  SetFigureControls(0);
  EditedFrameIndex = -1;
  HideMarker();
  ScrollStripToEnd();
}

void TMainForm::NextFrameButtonClick() {
  ProjectSaved = false;
  // The thumbnail is drawn from the stored frame when it comes into view.
  if (EditedFrameIndex == -1) {
    Frames.push_back(EditFrame);
    DrawGhost(Underlay, EditFrame);
    DrawFigures();
    SyncThumbnailSize();
    TimelineImages->Append(TThumbnailMaking::FullSize);
    ScrollStripToEnd();
  } else {
    const int i = EditedFrameIndex;
    Frames[i] = EditFrame;
    TimelineImages->FrameChanged(i, TThumbnailMaking::FullSize);
    StartNewFrameFromLast();
  }
}

void TMainForm::ShowFrameForEdit(int Index) {
  EditFrame = Frames[Index];
  SelectedFigure = 0;
  EnableFigureControls(EditFrame.Count() > 0);
  DrawFigures();
  SetFigureControls(0);
  EditedFrameIndex = Index;
}

void TMainForm::FrameClick(int Index) {
  if (Index < 0 || Index >= static_cast<int>(Frames.size())) return;
  if (Timer1->isActive()) StopButtonClick();
  PlaceMarker(Index);
  // The frame before the clicked one shows in silver beneath it.
  if (Index > 0) {
    DrawGhost(Underlay, Frames[Index - 1]);
  } else {
    QPainter canvas(&Underlay);
    canvas.drawImage(QPoint(0, 0), Background);
  }
  ShowFrameForEdit(Index);
}

void TMainForm::FramePopup(int Index) { PopupFrameIndex = Index; }

void TMainForm::Insert1Click() {
  const int p = PopupFrameIndex;
  if (p < 0 || p >= static_cast<int>(Frames.size())) return;
  if (Timer1->isActive()) StopButtonClick();
  // The animation a save would write has changed.
  ProjectSaved = false;
  // A copy of the frame before P (of the first frame when P is 0) goes in at P.
  const int source = p > 0 ? p - 1 : 0;
  TimelineImages->Insert(p, source);
  TFigures copy = Frames[source];
  Frames.insert(Frames.begin() + p, std::move(copy));

  PlaceMarker(p);
  EditFrame = Frames[p];
  SelectedFigure = 0;
  EnableFigureControls(EditFrame.Count() > 0);
  DrawGhost(Underlay, EditFrame);
  DrawFigures();
  SetFigureControls(0);
  EditedFrameIndex = p;
}

void TMainForm::Delete1Click() {
  const int p = PopupFrameIndex;
  if (p < 0 || p >= static_cast<int>(Frames.size())) return;
  if (Timer1->isActive()) StopButtonClick();
  // The animation a save would write has changed.
  ProjectSaved = false;
  if (Frames.size() == 1) {
    TimelineImages->Remove(0);
    Frames.clear();
    if (EditedFrameIndex == 0) {
      EditedFrameIndex = -1;
      HideMarker();
    }
    return;
  }
  const int widthOfP = TimelineImages->Place(p).width();
  TimelineImages->Remove(p);
  Frames.erase(Frames.begin() + p);

  if (EditedFrameIndex > p) {
    --EditedFrameIndex;
    Bevel1->move(Bevel1->x() - (widthOfP + ThumbnailGap), Bevel1->y());
  }
  // The frame under edit, or the one just before it, or the last frame went:
  // start again from the new last frame.
  if (p == EditedFrameIndex || p == static_cast<int>(Frames.size())) StartNewFrameFromLast();
}

void TMainForm::RedrawTimelineImages() {
  // Every thumbnail is made again, supersampled, at the current proportions:
  // the ones in view now, the others when they come into view.
  SyncThumbnailSize();
  TimelineImages->RemakeAll();
  TimelineImages->UpdateExtent();
  // The marker goes with its thumbnail to the thumbnail's new place and size.
  if (EditedFrameIndex >= 0) PlaceMarker(EditedFrameIndex);
  ProjectSaved = false;
}
