// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Playback: the stored frames shown one per timer tick on the drawing area,
// from the frame under edit on, once or repeating. Playback ends itself
// when the stored frames change, a frame is opened, the project is replaced
// or a step is undone or redone (the document says so before any of them);
// the other controllers follow PlayingChanged to switch their editing
// controls off meanwhile. The rate each project was played at is kept in
// the user's settings.

#include <QObject>
#include <cstdint>

#include "editor/Wiring.h"

class TDocument;
struct TMainControls;

class TPlaybackController : public QObject {
  Q_OBJECT
 public:
  TPlaybackController(TDocument& Doc, TMainControls& Ui, const TWiring& Wiring);

  void PlayButtonClick();
  void StopButtonClick();
  void PlaybackTimerTick();
  void RateScrollBarChange();
  // The playback rate is kept per project file in the user's settings (the
  // project file holds none): remembered when it changes or the project is
  // saved under a name, set again when a project is opened.
  void RememberPlaybackRate();
  void RecallPlaybackRate();
  // The playback rate of a timer interval, in words.
  static QString RateText(int Interval);

 signals:
  // Playback started or ended.
  void PlayingChanged(bool Playing);

 private:
  void Wire();

  TDocument& Doc;
  TMainControls& Ui;
  TWiring Wiring;
  int32_t PlayFrameIndex = 0;
};
