// SPDX-License-Identifier: GPL-3.0-or-later
// Playback: the stored frames shown one per timer tick on the drawing area,
// with the editing controls switched off meanwhile.

#include <QCheckBox>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QSpinBox>

#include "editor/MainUnit.h"
#include "model/Common.h"
#include "platform/PictureBox.h"

void TMainForm::PlayButtonClick() {
  if (Animation().Frames.empty()) return;
  PlayFrameIndex = Doc.EditedFrameIndex() >= 0 ? Doc.EditedFrameIndex() : 0;
  PlaybackTimer->start();
  EnableControlsPlaying(false);
}

void TMainForm::StopButtonClick() {
  PlaybackTimer->stop();
  EnableControlsPlaying(true);
  DrawFigures();
}

void TMainForm::PlaybackTimerTick() {
  const std::vector<TFigures>& frames = Animation().Frames;
  if (PlayFrameIndex >= static_cast<int32_t>(frames.size())) {
    if (!RepeatCheckBox->isChecked() || frames.empty()) {
      StopButtonClick();
      return;
    }
    PlayFrameIndex = 0;
  }
  {
    QPainter canvas(&EditImage->Picture());
    PrepareCanvas(canvas);
    DrawFrame(canvas, Animation(), frames[static_cast<std::size_t>(PlayFrameIndex)], 1.0f);
  }
  EditImage->Changed();
  ++PlayFrameIndex;
}

void TMainForm::RateScrollBarChange() { PlaybackTimer->setInterval(RateScrollBar->value()); }

void TMainForm::EnableControlsPlaying(bool Enable) {
  // A disabled drawing area never hears the release of a drag in progress,
  // so the drag ends here rather than carrying on after Stop.
  if (!Enable) {
    SelectedHandle = NoHandle;
    Doc.EndGesture();
  }
  EditImage->setEnabled(Enable);
  AddFigureButton->setEnabled(Enable);
  NextFrameButton->setEnabled(Enable);
  const bool figureControls = Enable && Doc.WorkingFrame().Count() > 0;
  for (QWidget* control : FigureControls()) control->setEnabled(figureControls);
  if (Enable) FigureControlsEnabled = figureControls;
}
