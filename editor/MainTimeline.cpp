// SPDX-License-Identifier: GPL-3.0-or-later
// Frames and the thumbnail strip: Next Frame stores the working frame, a
// click on a thumbnail brings a stored frame back for editing, and the
// thumbnails' pop-up menu inserts and deletes frames; each a step of the
// document's history. The strip follows the document (MainView.cpp).

#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>
#include <algorithm>

#include "editor/MainUnit.h"
#include "editor/TimelineStrip.h"
#include "model/Common.h"
#include "model/Pictures.h"
#include "platform/Dialogs.h"

namespace {
// Thumbnails are kept with three bytes a pixel, a quarter less memory than
// the working pictures; they are only ever drawn scaled.
constexpr QImage::Format ThumbnailFormat = QImage::Format_RGB888;
}  // namespace

int TMainForm::ThumbnailHeight() const { return TimelineScrollBox->height() - 26; }

int TMainForm::ThumbnailWidth() const {
  // A drawing much higher than wide (10 x 10000) still gets a thumbnail one
  // pixel wide that can be seen, clicked and deleted.
  const int64_t width = static_cast<int64_t>(Animation().Width) * ThumbnailHeight() / Animation().Height;
  return static_cast<int>(std::max<int64_t>(width, 1));
}

void TMainForm::SyncThumbnailSize() { TimelineImages->SetThumbnailSize(QSize(ThumbnailWidth(), ThumbnailHeight())); }

QImage TMainForm::MakeThumbnail(const TFigures& Frame, TThumbnailMaking How) const {
  // Drawn larger and reduced with the box filter: as Next Frame does, at the
  // animation's size; as a redraw does, at twice the thumbnail's size. A
  // picture there is no memory for leaves the thumbnail blank for now.
  const TAnimation& animation = Animation();
  const int width = ThumbnailWidth(), height = ThumbnailHeight();
  const bool full = How == TThumbnailMaking::FullSize;
  QImage large = TryNewPicture(full ? animation.Size()
                                    : QSize(ThumbnailSupersample * width, ThumbnailSupersample * height));
  QImage thumbnail = TryNewPicture(QSize(width, height));
  if (large.isNull() || thumbnail.isNull()) return QImage();
  if (!full || animation.Background.size() != large.size()) large.fill(Qt::white);
  {
    QPainter canvas(&large);
    PrepareCanvas(canvas);
    DrawFrame(canvas, animation, Frame,
              full ? 1.0f : static_cast<float>(ThumbnailSupersample * height) / static_cast<float>(animation.Height));
  }
  ShrinkBitmap(large, thumbnail, full ? static_cast<double>(animation.Height) / height : ThumbnailSupersample);
  return thumbnail.convertToFormat(ThumbnailFormat);
}

void TMainForm::PlaceMarker(int Index) {
  const QRect t = TimelineImages->ToView(TimelineImages->Place(Index));
  FrameMarker->setGeometry(t.left() - 2, t.top() - 2, t.width() + 5, t.height() + 4);
  FrameMarker->show();
}

void TMainForm::HideMarker() { FrameMarker->hide(); }

void TMainForm::ScrollStripToEnd() {
  QScrollBar* bar = TimelineScrollBox->horizontalScrollBar();
  bar->setValue(bar->maximum());
}

void TMainForm::NextFrameButtonClick() {
  // The thumbnail is drawn from the stored frame when it comes into view.
  Doc.NextFrame();
  ScrollStripToEnd();
}

void TMainForm::FrameClick(int Index) {
  if (Index < 0 || Index >= static_cast<int>(Animation().Frames.size())) return;
  if (PlaybackTimer->isActive()) StopButtonClick();
  Doc.ShowFrame(Index);
}

void TMainForm::FramePopup(int Index) {
  PopupFrameIndex = Index;
  // In-between frames need a frame after this one to lead to.
  TweenAction->setEnabled(Index + 1 < static_cast<int>(Animation().Frames.size()));
}

void TMainForm::InsertFrameClick() {
  const int p = PopupFrameIndex;
  if (p < 0 || p >= static_cast<int>(Animation().Frames.size())) return;
  if (PlaybackTimer->isActive()) StopButtonClick();
  Doc.InsertFrame(p);
}

void TMainForm::DeleteFrameClick() {
  const int p = PopupFrameIndex;
  if (p < 0 || p >= static_cast<int>(Animation().Frames.size())) return;
  if (PlaybackTimer->isActive()) StopButtonClick();
  const int count = static_cast<int>(Animation().Frames.size()), edited = Doc.EditedFrameIndex();
  const bool resets = count > 1 && (p == count - 1 || p == edited || p == edited - 1);
  Doc.DeleteFrame(p);
  // Starting again from the new last frame shows the end of the strip.
  if (resets && !Animation().Frames.empty()) ScrollStripToEnd();
}

void TMainForm::TweenClick() {
  const int p = PopupFrameIndex;
  if (p < 0 || p + 1 >= static_cast<int>(Animation().Frames.size())) return;
  if (PlaybackTimer->isActive()) StopButtonClick();
  // The dialog offers what was chosen last: a run of tweens usually wants the same.
  const std::optional<TTweenChoice> choice = Dialogs.AskTween(this, {TweenCount, TweenEasing});
  if (!choice) return;
  TweenCount = choice->Count;
  TweenEasing = choice->Easing;
  Doc.TweenFrames(p, choice->Count, choice->Easing);
}

void TMainForm::RedrawTimelineImages() {
  // Every thumbnail is made again, supersampled, at the current proportions:
  // the ones in view now, the others when they come into view.
  SyncThumbnailSize();
  TimelineImages->RemakeAll();
  TimelineImages->UpdateExtent();
  // The marker goes with its thumbnail to the thumbnail's new place and size.
  if (Doc.EditedFrameIndex() >= 0) PlaceMarker(Doc.EditedFrameIndex());
}
