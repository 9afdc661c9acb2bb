// SPDX-License-Identifier: GPL-3.0-or-later
// Playback: the stored frames shown one per timer tick on the drawing area,
// with the editing controls switched off meanwhile; the rate each project
// was played at, kept in the user's settings.

#include <QCheckBox>
#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QSettings>
#include <QSpinBox>
#include <algorithm>

#include "editor/MainUnit.h"
#include "model/Common.h"
#include "platform/PictureBox.h"

void TMainForm::PlayButtonClick() {
  if (Animation().Frames.empty()) return;
  PlayFrameIndex = Doc.EditedFrameIndex() >= 0 ? Doc.EditedFrameIndex() : 0;
  Ui.PlaybackTimer->start();
  EnableControlsPlaying(false);
}

void TMainForm::StopButtonClick() {
  Ui.PlaybackTimer->stop();
  EnableControlsPlaying(true);
  DrawFigures();
}

void TMainForm::PlaybackTimerTick() {
  const std::vector<TFigures>& frames = Animation().Frames;
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
    DrawFrame(canvas, Animation(), frames[static_cast<std::size_t>(PlayFrameIndex)], 1.0f, Lines());
  }
  Ui.EditImage->Changed();
  ++PlayFrameIndex;
}

void TMainForm::RateScrollBarChange() {
  Ui.PlaybackTimer->setInterval(Ui.RateScrollBar->value());
  RememberPlaybackRate();
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

void TMainForm::RememberPlaybackRate() {
  if (Doc.FilePath().isEmpty()) return;
  QSettings().setValue(RateKey(Doc.FilePath()), Ui.RateScrollBar->value());
}

void TMainForm::RecallPlaybackRate() {
  if (Doc.FilePath().isEmpty()) return;
  bool known = false;
  const int rate = QSettings().value(RateKey(Doc.FilePath())).toInt(&known);
  // A project never played here keeps the rate there is.
  if (known) Ui.RateScrollBar->setValue(std::clamp(rate, Ui.RateScrollBar->minimum(), Ui.RateScrollBar->maximum()));
}

void TMainForm::EnableControlsPlaying(bool Enable) {
  // A disabled drawing area never hears the release of a drag in progress,
  // so the drag ends here rather than carrying on after Stop.
  if (!Enable) {
    SelectedHandle = NoHandle;
    Doc.EndGesture();
  }
  Ui.EditImage->setEnabled(Enable);
  Ui.AddFigureButton->setEnabled(Enable);
  Ui.NextFrameButton->setEnabled(Enable);
  const bool figureControls = Enable && Doc.WorkingFrame().Count() > 0;
  for (QWidget* control : FigureControls()) control->setEnabled(figureControls);
  if (Enable) FigureControlsEnabled = figureControls;
}
