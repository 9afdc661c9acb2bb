// SPDX-License-Identifier: GPL-3.0-or-later
// Frames and the thumbnail strip: Next Frame stores the working frame, a
// click on a thumbnail (or a key of the Go menu) brings a stored frame back
// for editing, and the thumbnails' pop-up menu inserts and deletes frames;
// each a step of the document's history. The strip follows the document
// (MainView.cpp).

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>
#include <QSettings>
#include <QStatusBar>
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

int TMainForm::ThumbnailHeight() const { return Ui.TimelineScrollBox->height() - 26; }

int TMainForm::ThumbnailWidth() const {
  // A drawing much higher than wide (10 x 10000) still gets a thumbnail one
  // pixel wide that can be seen, clicked and deleted.
  const int64_t width = static_cast<int64_t>(Animation().Width) * ThumbnailHeight() / Animation().Height;
  return static_cast<int>(std::max<int64_t>(width, 1));
}

void TMainForm::SyncThumbnailSize() { Ui.TimelineImages->SetThumbnailSize(QSize(ThumbnailWidth(), ThumbnailHeight())); }

QImage TMainForm::MakeThumbnail(const TFigures& Frame, TThumbnailMaking How) const {
  // Drawn larger and reduced with the box filter: as Next Frame does, at the
  // animation's size; as a redraw does, at twice the thumbnail's size. A
  // picture there is no memory for leaves the thumbnail blank for now.
  const TAnimation& animation = Animation();
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
              Lines());
  }
  ShrinkBitmap(large, thumbnail, full ? static_cast<double>(animation.Height) / height : ThumbnailSupersample);
  return thumbnail.convertToFormat(ThumbnailFormat);
}

void TMainForm::PlaceMarker(int Index) {
  const QRect t = Ui.TimelineImages->ToView(Ui.TimelineImages->Place(Index));
  Ui.FrameMarker->setGeometry(t.left() - 2, t.top() - 2, t.width() + 5, t.height() + 4);
  Ui.FrameMarker->show();
}

void TMainForm::HideMarker() { Ui.FrameMarker->hide(); }

void TMainForm::ScrollStripToEnd() {
  QScrollBar* bar = Ui.TimelineScrollBox->horizontalScrollBar();
  bar->setValue(bar->maximum());
}

void TMainForm::NextFrameButtonClick() {
  // The thumbnail is drawn from the stored frame when it comes into view.
  Doc.NextFrame();
  ScrollStripToEnd();
}

void TMainForm::ScrollStripToFrame(int Index) {
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

namespace {
const QString StoreEditsKey = QStringLiteral("Frames/StoreEditsWhenLeaving");
}  // namespace

void TMainForm::CreateGoMenu(QMenuBar* Menus) {
  // Plain keys, as a thumbnail click: a text or number field with the focus
  // takes them first (the toolkit gives typing precedence over shortcuts).
  QMenu* go = Menus->addMenu(QStringLiteral("&Go"));
  const auto item = [&](const char* Caption, Qt::Key Key, void (TMainForm::*Handler)()) {
    QAction* action = go->addAction(QLatin1String(Caption));
    action->setShortcut(QKeySequence(Key));
    connect(action, &QAction::triggered, this, [this, Handler] { Guard([this, Handler] { (this->*Handler)(); }); });
    return action;
  };
  Ui.PreviousFrameAction = item("Previous Frame", Qt::Key_Comma, &TMainForm::PreviousFrameClick);
  Ui.FollowingFrameAction = item("Following Frame", Qt::Key_Period, &TMainForm::FollowingFrameClick);
  Ui.FirstFrameAction = item("First Frame", Qt::Key_Home, &TMainForm::FirstFrameClick);
  Ui.NewFrameAction = item("New Frame", Qt::Key_End, &TMainForm::NewFrameClick);
  go->addSeparator();
  Ui.StoreEditsAction = go->addAction(QStringLiteral("Store edits when leaving a frame"));
  Ui.StoreEditsAction->setCheckable(true);
  Ui.StoreEditsAction->setChecked(QSettings().value(StoreEditsKey, false).toBool());
  connect(Ui.StoreEditsAction, &QAction::triggered, this, [this] { Guard([this] { StoreEditsClick(); }); });

  Ui.FramePositionLabel = new QLabel(this);
  statusBar()->addPermanentWidget(Ui.FramePositionLabel);
}

void TMainForm::StoreEditsClick() { QSettings().setValue(StoreEditsKey, Ui.StoreEditsAction->isChecked()); }

void TMainForm::ShowFramePosition() {
  const int count = static_cast<int>(Animation().Frames.size()), edited = Doc.EditedFrameIndex();
  if (edited >= 0)
    Ui.FramePositionLabel->setText(QStringLiteral("Frame %1 of %2").arg(edited + 1).arg(count));
  else if (count > 0)
    Ui.FramePositionLabel->setText(QStringLiteral("New frame after %1").arg(count));
  else
    Ui.FramePositionLabel->setText(QStringLiteral("New frame"));
}

void TMainForm::GoToFrame(int Index) {
  if (Ui.PlaybackTimer->isActive()) StopButtonClick();
  const bool store = Ui.StoreEditsAction->isChecked();
  const int left = Doc.EditedFrameIndex(), steps = Doc.History().index();
  const bool drops = !store && Doc.HasUnstoredEdits();
  Doc.OpenFrame(Index, store);
  if (Doc.History().index() == steps) return;
  if (drops) {
    const QString frame = left >= 0 ? QStringLiteral("frame %1").arg(left + 1) : QStringLiteral("the new frame");
    statusBar()->showMessage(QStringLiteral("Changes to %1 were not stored. Undo brings them back.").arg(frame));
  } else {
    statusBar()->clearMessage();
  }
  if (Index >= 0)
    ScrollStripToFrame(Index);
  else
    ScrollStripToEnd();
}

void TMainForm::FrameClick(int Index) {
  if (Index < 0 || Index >= static_cast<int>(Animation().Frames.size())) return;
  GoToFrame(Index);
}

void TMainForm::PreviousFrameClick() {
  const int edited = Doc.EditedFrameIndex();
  // From the new frame, the last stored frame.
  const int previous = edited >= 0 ? edited - 1 : static_cast<int>(Animation().Frames.size()) - 1;
  if (previous >= 0) GoToFrame(previous);
}

void TMainForm::FollowingFrameClick() {
  const int edited = Doc.EditedFrameIndex();
  if (edited < 0) return;
  // After the last stored frame comes the new frame.
  GoToFrame(edited + 1 < static_cast<int>(Animation().Frames.size()) ? edited + 1 : -1);
}

void TMainForm::FirstFrameClick() {
  if (!Animation().Frames.empty()) GoToFrame(0);
}

void TMainForm::NewFrameClick() {
  if (Doc.EditedFrameIndex() >= 0) GoToFrame(-1);
}

void TMainForm::FramePopup(int Index) {
  PopupFrameIndex = Index;
  const TTimelineStrip::TRange range = Ui.TimelineImages->Selection();
  PopupRange = range.Holds(Index) ? range : TTimelineStrip::TRange{Index, Index};
  // In-between frames need a frame after this one to lead to.
  Ui.TweenAction->setEnabled(Index + 1 < static_cast<int>(Animation().Frames.size()));
}

void TMainForm::InsertFrameClick() {
  const int p = PopupFrameIndex;
  if (p < 0 || p >= static_cast<int>(Animation().Frames.size())) return;
  if (Ui.PlaybackTimer->isActive()) StopButtonClick();
  Doc.InsertFrame(p);
}

void TMainForm::DeleteFrameClick() {
  const int p = PopupFrameIndex;
  if (p < 0 || p >= static_cast<int>(Animation().Frames.size())) return;
  if (Ui.PlaybackTimer->isActive()) StopButtonClick();
  if (PopupRange.Holds(p) && PopupRange.Last > PopupRange.First) {
    Doc.DeleteFrames(PopupRange.First, PopupRange.Last - PopupRange.First + 1);
    ScrollStripToEnd();
    return;
  }
  const int count = static_cast<int>(Animation().Frames.size()), edited = Doc.EditedFrameIndex();
  const bool resets = count > 1 && (p == count - 1 || p == edited || p == edited - 1);
  Doc.DeleteFrame(p);
  // Starting again from the new last frame shows the end of the strip.
  if (resets && !Animation().Frames.empty()) ScrollStripToEnd();
}

void TMainForm::TweenClick() {
  const int p = PopupFrameIndex;
  if (p < 0 || p + 1 >= static_cast<int>(Animation().Frames.size())) return;
  if (Ui.PlaybackTimer->isActive()) StopButtonClick();
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
  Ui.TimelineImages->RemakeAll();
  Ui.TimelineImages->UpdateExtent();
  // The marker goes with its thumbnail to the thumbnail's new place and size.
  if (Doc.EditedFrameIndex() >= 0) PlaceMarker(Doc.EditedFrameIndex());
}
