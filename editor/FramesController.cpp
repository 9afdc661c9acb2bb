// SPDX-License-Identifier: GPL-3.0-or-later
// Next Frame, and going to a stored frame: a thumbnail click or a key of the
// Go menu, with the edits of the frame left stored or dropped as the Go
// menu's option says.

#include "editor/FramesController.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QSettings>
#include <QStatusBar>

#include "editor/MainControls.h"
#include "model/Document.h"

namespace {
const QString StoreEditsKey = QStringLiteral("Frames/StoreEditsWhenLeaving");
}  // namespace

TFramesController::TFramesController(TDocument& Doc, TMainControls& Ui, const TWiring& Wiring)
    : QObject(Wiring.Parent()), Doc(Doc), Ui(Ui), Wiring(Wiring) {
  Ui.StoreEditsAction->setChecked(QSettings().value(StoreEditsKey, false).toBool());
  Ui.TimelineImages->SetDraw([this](int Index, TThumbnailMaking How) {
    const std::vector<TFigures>& frames = this->Doc.Animation().Frames;
    return Index < static_cast<int>(frames.size()) ? MakeThumbnail(frames[static_cast<std::size_t>(Index)], How)
                                                   : QImage();
  });
  Wire();
  FollowDocument();
}

// The strip may outlive the controller.
TFramesController::~TFramesController() { Ui.TimelineImages->SetDraw({}); }

void TFramesController::Wire() {
  Wiring.Connect(Ui.NextFrameButton, this, &TFramesController::NextFrameButtonClick);
  Wiring.Connect(Ui.PreviousFrameAction, this, &TFramesController::PreviousFrameClick);
  Wiring.Connect(Ui.FollowingFrameAction, this, &TFramesController::FollowingFrameClick);
  Wiring.Connect(Ui.FirstFrameAction, this, &TFramesController::FirstFrameClick);
  Wiring.Connect(Ui.NewFrameAction, this, &TFramesController::NewFrameClick);
  Wiring.Connect(Ui.StoreEditsAction, this, &TFramesController::StoreEditsClick);
  Wiring.Connect(Ui.InsertFrameAction, this, &TFramesController::InsertFrameClick);
  Wiring.Connect(Ui.DeleteFrameAction, this, &TFramesController::DeleteFrameClick);
  Wiring.Connect(Ui.TweenAction, this, &TFramesController::TweenClick);
  Wiring.Connect(Ui.HoldAction, this, &TFramesController::HoldClick);
  Wiring.Connect(Ui.HoldLongerAction, this, &TFramesController::HoldLongerClick);
  Wiring.Connect(Ui.HoldShorterAction, this, &TFramesController::HoldShorterClick);
  Wiring.Connect(Ui.TimelineImages, &TTimelineStrip::Clicked, this, &TFramesController::FrameClick);
  connect(Ui.TimelineImages, &TTimelineStrip::PopupRequested, this, [this](int Index, const QPoint& GlobalPos) {
    Wiring.Run([&] { FramePopup(Index); });
    Ui.FrameMenu->popup(GlobalPos);
  });
}

int TFramesController::FrameCount() const { return static_cast<int>(Doc.Animation().Frames.size()); }

void TFramesController::NextFrameButtonClick() {
  // The thumbnail is drawn from the stored frame when it comes into view.
  Doc.NextFrame();
  ScrollStripToEnd();
}

void TFramesController::PlaybackChanged(bool Playing) { Ui.NextFrameButton->setEnabled(!Playing); }

void TFramesController::StoreEditsClick() { QSettings().setValue(StoreEditsKey, Ui.StoreEditsAction->isChecked()); }

void TFramesController::GoToFrame(int Index) {
  const bool store = Ui.StoreEditsAction->isChecked();
  const int left = Doc.EditedFrameIndex(), steps = Doc.History().index();
  const bool drops = !store && Doc.HasUnstoredEdits();
  Doc.OpenFrame(Index, store);
  if (Doc.History().index() == steps) return;
  if (drops) {
    const QString frame = left >= 0 ? QStringLiteral("frame %1").arg(left + 1) : QStringLiteral("the new frame");
    Ui.StatusBar->showMessage(QStringLiteral("Changes to %1 were not stored. Undo brings them back.").arg(frame));
  } else {
    Ui.StatusBar->clearMessage();
  }
  if (Index >= 0)
    ScrollStripToFrame(Index);
  else
    ScrollStripToEnd();
}

void TFramesController::FrameClick(int Index) {
  if (Index < 0 || Index >= FrameCount()) return;
  GoToFrame(Index);
}

void TFramesController::PreviousFrameClick() {
  const int edited = Doc.EditedFrameIndex();
  // From the new frame, the last stored frame.
  const int previous = edited >= 0 ? edited - 1 : FrameCount() - 1;
  if (previous >= 0) GoToFrame(previous);
}

void TFramesController::FollowingFrameClick() {
  const int edited = Doc.EditedFrameIndex();
  if (edited < 0) return;
  // After the last stored frame comes the new frame.
  GoToFrame(edited + 1 < FrameCount() ? edited + 1 : -1);
}

void TFramesController::FirstFrameClick() {
  if (FrameCount() > 0) GoToFrame(0);
}

void TFramesController::NewFrameClick() {
  if (Doc.EditedFrameIndex() >= 0) GoToFrame(-1);
}

void TFramesController::ShowFrameUnderEdit() {
  const int count = FrameCount(), edited = Doc.EditedFrameIndex();
  if (edited >= 0 && edited < Ui.TimelineImages->Count()) {
    const QRect t = Ui.TimelineImages->ToView(Ui.TimelineImages->Place(edited));
    Ui.FrameMarker->setGeometry(t.left() - 2, t.top() - 2, t.width() + 5, t.height() + 4);
    Ui.FrameMarker->show();
  } else {
    Ui.FrameMarker->hide();
  }
  // The frames' time as they play: each frame's hold times the rate.
  const int64_t ticks = Doc.TotalTicks();
  const QString time =
      QStringLiteral(", %1 s").arg(static_cast<double>(ticks) * Ui.RateScrollBar->value() / 1000.0, 0, 'f', 2);
  if (edited >= 0)
    Ui.FramePositionLabel->setText(QStringLiteral("Frame %1 of %2").arg(edited + 1).arg(count) + time);
  else if (count > 0)
    Ui.FramePositionLabel->setText(QStringLiteral("New frame after %1").arg(count) + time);
  else
    Ui.FramePositionLabel->setText(QStringLiteral("New frame"));
}
