// SPDX-License-Identifier: GPL-3.0-or-later
// Play, Stop, the timer's ticks and the rate bar.

#include "editor/PlaybackController.h"

#include <QCheckBox>
#include <QCryptographicHash>
#include <QCursor>
#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <QScrollBar>
#include <QSettings>
#include <QTimer>
#include <QToolButton>
#include <QToolTip>
#include <algorithm>

#include "editor/MainControls.h"
#include "model/Common.h"
#include "model/Document.h"
#include "platform/PictureBox.h"

TPlaybackController::TPlaybackController(TDocument& Doc, TMainControls& Ui, const TWiring& Wiring)
    : QObject(Wiring.Parent()), Doc(Doc), Ui(Ui), Wiring(Wiring) {
  Wire();
  // What is shown while playing is the stored frames as they were: a change
  // to them, a frame opened for editing, the project replaced or a step of
  // the history ends playback before it happens.
  connect(&Doc, &TDocument::FramesChanging, this, [this] {
    if (this->Ui.Playing()) StopButtonClick();
  });
  connect(&Doc, &TDocument::DocumentReset, this, [this] { ShowPlaybackRate(true); });
  connect(&Doc, &TDocument::RateChanged, this, [this] { ShowPlaybackRate(false); });
}

void TPlaybackController::Wire() {
  Wiring.Connect(Ui.PlayButton, this, &TPlaybackController::PlayButtonClick);
  Wiring.Connect(Ui.StopButton, this, &TPlaybackController::StopButtonClick);
  Wiring.Connect(Ui.RateScrollBar, &QScrollBar::valueChanged, this, &TPlaybackController::RateScrollBarChange);
  // One drag of the rate bar is one step.
  connect(Ui.RateScrollBar, &QScrollBar::sliderReleased, &Doc, &TDocument::EndGesture);
  // While the rate is dragged, the rate it sets shows beside the mouse.
  connect(Ui.RateScrollBar, &QScrollBar::sliderMoved, this,
          [this](int Value) { QToolTip::showText(QCursor::pos(), RateText(Value), Ui.RateScrollBar); });
  Wiring.Connect(Ui.PlaybackTimer, &QTimer::timeout, this, &TPlaybackController::PlaybackTimerTick);
}

void TPlaybackController::PlayButtonClick() {
  if (Doc.Animation().Frames.empty()) return;
  PlayFrameIndex = Doc.EditedFrameIndex() >= 0 ? Doc.EditedFrameIndex() : 0;
  TicksLeft = 0;
  Ui.PlaybackTimer->start();
  emit PlayingChanged(true);
}

void TPlaybackController::StopButtonClick() {
  Ui.PlaybackTimer->stop();
  emit PlayingChanged(false);
}

void TPlaybackController::PlaybackTimerTick() {
  // A held frame stays on for as many ticks as its hold.
  if (--TicksLeft > 0) return;
  const std::vector<TFigures>& frames = Doc.Animation().Frames;
  if (PlayFrameIndex >= static_cast<int32_t>(frames.size())) {
    if (!Ui.RepeatCheckBox->isChecked() || frames.empty()) {
      StopButtonClick();
      return;
    }
    PlayFrameIndex = 0;
  }
  {
    QPainter canvas(&Ui.EditImage->Picture());
    PrepareCanvas(canvas);
    DrawFrame(canvas, Doc.Animation(), frames[static_cast<std::size_t>(PlayFrameIndex)], 1.0f, Ui.Lines());
  }
  Ui.EditImage->Changed();
  TicksLeft = frames[static_cast<std::size_t>(PlayFrameIndex)].Hold;
  ++PlayFrameIndex;
}

void TPlaybackController::RateScrollBarChange() {
  Ui.PlaybackTimer->setInterval(Ui.RateScrollBar->value());
  if (ShowingRate) return;
  Doc.SetPlaybackInterval(Ui.RateScrollBar->value());
  // A click on the bar's arrows or track is a step of its own.
  if (!Ui.RateScrollBar->isSliderDown()) Doc.EndGesture();
}

void TPlaybackController::ShowRate(int Interval) {
  ShowingRate = true;
  Ui.RateScrollBar->setValue(std::clamp(Interval, Ui.RateScrollBar->minimum(), Ui.RateScrollBar->maximum()));
  Ui.PlaybackTimer->setInterval(Ui.RateScrollBar->value());
  ShowingRate = false;
}

namespace {
// The settings key of a project's rate: the project file's absolute path,
// hashed, since a path's slashes and other characters mean something in
// a settings key.
QString RateKey(const QString& ProjectPath) {
  const QString path = QDir::cleanPath(QFileInfo(ProjectPath).absoluteFilePath());
  return QStringLiteral("PlaybackRate/") +
         QString::fromLatin1(QCryptographicHash::hash(path.toUtf8(), QCryptographicHash::Sha1).toHex());
}
}  // namespace

int TPlaybackController::RememberedRate() const {
  if (Doc.FilePath().isEmpty()) return 0;
  bool known = false;
  const int rate = QSettings().value(RateKey(Doc.FilePath())).toInt(&known);
  return known ? rate : 0;
}

void TPlaybackController::ShowPlaybackRate(bool Opened) {
  // A project that names no rate keeps the one it was opened at, so that
  // undoing the first change of the rate gives that one back.
  if (Opened) UnnamedRate = RememberedRate() > 0 ? RememberedRate() : Ui.RateScrollBar->value();
  const int named = Doc.Animation().PlaybackInterval;
  ShowRate(named > 0 ? named : UnnamedRate);
}

QString TPlaybackController::RateText(int Interval) {
  return QStringLiteral("%1 ms between frames, %2 frames a second").arg(Interval).arg(1000.0 / Interval, 0, 'f', 1);
}
