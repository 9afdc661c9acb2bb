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
  if (Frames.empty()) return;
  PlayFrameIndex = EditedFrameIndex >= 0 ? EditedFrameIndex : 0;
  Timer1->start();
  EnableControlsPlaying(false);
}

void TMainForm::StopButtonClick() {
  Timer1->stop();
  EnableControlsPlaying(true);
  DrawFigures();
}

void TMainForm::Timer1Timer() {
  if (PlayFrameIndex >= static_cast<int32_t>(Frames.size())) {
    if (!RepeatCheckBox->isChecked() || Frames.empty()) {
      StopButtonClick();
      return;
    }
    PlayFrameIndex = 0;
  }
  {
    QPainter canvas(&EditImage->Picture());
    PrepareCanvas(canvas);
    DrawFrame(canvas, Frames[PlayFrameIndex], 1.0f);
  }
  EditImage->Changed();
  ++PlayFrameIndex;
}

void TMainForm::RateScrollBarChange() { Timer1->setInterval(RateScrollBar->value()); }

void TMainForm::EnableControlsPlaying(bool Enable) {
  // A disabled drawing area never hears the release of a drag in progress,
  // so the drag ends here rather than carrying on after Stop.
  if (!Enable) SelectedHandle = NoHandle;
  EditImage->setEnabled(Enable);
  AddFigureButton->setEnabled(Enable);
  NextFrameButton->setEnabled(Enable);
  const bool figureControls = Enable && EditFrame.Count() > 0;
  for (QWidget* control : FigureControls()) control->setEnabled(figureControls);
  if (Enable) FigureControlsEnabled = figureControls;
}
