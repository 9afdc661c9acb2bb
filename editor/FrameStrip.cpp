// SPDX-License-Identifier: GPL-3.0-or-later
// The thumbnail strip follows the document: a thumbnail per stored frame,
// drawn when it comes into view, the marker around the frame under edit,
// and the strip scrolled to what was just stored or opened.

#include <QAction>
#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>
#include <algorithm>

#include "editor/FramesController.h"
#include "editor/MainControls.h"
#include "model/Common.h"
#include "model/Document.h"
#include "model/Pictures.h"

namespace {
// Thumbnails are kept with three bytes a pixel, a quarter less memory than
// the working pictures; they are only ever drawn scaled.
constexpr QImage::Format ThumbnailFormat = QImage::Format_RGB888;

// A frame held longer than a tick says for how many in its thumbnail's
// lower right corner ("×3"), dark on a pale box.
void DrawHold(QImage& Thumbnail, int Hold) {
  QPainter canvas(&Thumbnail);
  QFont font = canvas.font();
  font.setPixelSize(std::max(9, Thumbnail.height() / 5));
  font.setBold(true);
  canvas.setFont(font);
  const QString text = QStringLiteral("\u00D7%1").arg(Hold);
  const QRect box = canvas.fontMetrics().boundingRect(text).adjusted(-2, 0, 2, 0);
  const QRect place(Thumbnail.width() - box.width() - 1, Thumbnail.height() - box.height() - 1, box.width(),
                    box.height());
  canvas.fillRect(place, QColor(255, 255, 224));
  canvas.setPen(QColor(48, 48, 48));
  canvas.drawText(place, Qt::AlignCenter, text);
}
}  // namespace

void TFramesController::FollowDocument() {
  connect(&Doc, &TDocument::DocumentReset, this, &TFramesController::OnDocumentReset);
  connect(&Doc, &TDocument::EditChanged, this, &TFramesController::ShowFrameUnderEdit);
  connect(&Doc, &TDocument::FramesInserted, this, [this](int At, int Count, int Like) {
    SyncThumbnailSize();
    for (int i = 0; i < Count; ++i) {
      if (Like >= 0)
        Ui.TimelineImages->Insert(At + i, Like);
      else
        Ui.TimelineImages->InsertNew(At + i, TThumbnailMaking::FullSize);
    }
  });
  connect(&Doc, &TDocument::FramesRemoved, this, [this](int At, int Count) {
    for (int i = 0; i < Count; ++i) Ui.TimelineImages->Remove(At);
  });
  connect(&Doc, &TDocument::FrameChanged, this, [this](int At) {
    Ui.TimelineImages->FrameChanged(At, TThumbnailMaking::FullSize);
    ShowFrameUnderEdit();  // a hold changes the animation's time
  });
  connect(Ui.RateScrollBar, &QScrollBar::valueChanged, this, &TFramesController::ShowFrameUnderEdit);
  // A new background or size, and smooth lines turned on or off, change
  // every thumbnail.
  const auto redraw = [this] {
    if (FrameCount() > 0) RedrawTimelineImages();
  };
  connect(&Doc, &TDocument::PictureChanged, this, redraw);
  connect(Ui.SmoothLinesAction, &QAction::triggered, this, redraw);
}

void TFramesController::OnDocumentReset() {
  Ui.TimelineImages->Clear();
  SyncThumbnailSize();
  Ui.TimelineImages->Append(TThumbnailMaking::Supersampled, FrameCount());
  ShowFrameUnderEdit();
  if (FrameCount() > 0) ScrollStripToEnd();
}

int TFramesController::ThumbnailHeight() const { return Ui.TimelineScrollBox->height() - 26; }

int TFramesController::ThumbnailWidth() const {
  // A drawing much higher than wide (10 x 10000) still gets a thumbnail one
  // pixel wide that can be seen, clicked and deleted.
  const TAnimation& animation = Doc.Animation();
  const int64_t width = static_cast<int64_t>(animation.Width) * ThumbnailHeight() / animation.Height;
  return static_cast<int>(std::max<int64_t>(width, 1));
}

void TFramesController::SyncThumbnailSize() {
  Ui.TimelineImages->SetThumbnailSize(QSize(ThumbnailWidth(), ThumbnailHeight()));
}

QImage TFramesController::MakeThumbnail(const TFigures& Frame, TThumbnailMaking How) const {
  // Drawn larger and reduced with the box filter: as Next Frame does, at the
  // animation's size; as a redraw does, at twice the thumbnail's size. A
  // picture there is no memory for leaves the thumbnail blank for now.
  const TAnimation& animation = Doc.Animation();
  const int width = ThumbnailWidth(), height = ThumbnailHeight();
  const bool full = How == TThumbnailMaking::FullSize;
  QImage large =
      TryNewPicture(full ? animation.Size() : QSize(ThumbnailSupersample * width, ThumbnailSupersample * height));
  QImage thumbnail = TryNewPicture(QSize(width, height));
  if (large.isNull() || thumbnail.isNull()) return QImage();
  if (!full || animation.Background.size() != large.size()) large.fill(Qt::white);
  {
    QPainter canvas(&large);
    PrepareCanvas(canvas);
    DrawFrame(canvas, animation, Frame,
              full ? 1.0f : static_cast<float>(ThumbnailSupersample * height) / static_cast<float>(animation.Height),
              Ui.Lines());
  }
  ShrinkBitmap(large, thumbnail, full ? static_cast<double>(animation.Height) / height : ThumbnailSupersample);
  if (Frame.Hold > 1) DrawHold(thumbnail, Frame.Hold);
  return thumbnail.convertToFormat(ThumbnailFormat);
}

void TFramesController::RedrawTimelineImages() {
  // Every thumbnail is made again, supersampled, at the current proportions:
  // the ones in view now, the others when they come into view.
  SyncThumbnailSize();
  Ui.TimelineImages->RemakeAll();
  Ui.TimelineImages->UpdateExtent();
  // The marker goes with its thumbnail to the thumbnail's new place and size.
  ShowFrameUnderEdit();
}

void TFramesController::ScrollStripToEnd() {
  QScrollBar* bar = Ui.TimelineScrollBox->horizontalScrollBar();
  bar->setValue(bar->maximum());
}

void TFramesController::ScrollStripToFrame(int Index) {
  if (Index < 0 || Index >= Ui.TimelineImages->Count()) return;
  Ui.TimelineImages->UpdateExtent();
  // The gap of 3 pixels either side shows too, so the marker is whole.
  const QRect place = Ui.TimelineImages->Place(Index).adjusted(-3, 0, 3, 0);
  QScrollBar* bar = Ui.TimelineScrollBox->horizontalScrollBar();
  const int shown = Ui.TimelineImages->width();
  if (place.left() < bar->value())
    bar->setValue(place.left());
  else if (place.right() >= bar->value() + shown)
    bar->setValue(place.right() + 1 - shown);
}
