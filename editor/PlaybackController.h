// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Playback: the stored frames shown one per timer tick on the drawing area,
// from the frame under edit on, once or repeating. Playback ends itself
// when the stored frames change, a frame is opened, the project is replaced
// or a step is undone or redone (the document says so before any of them);
// the other controllers follow PlayingChanged to switch their editing
// controls off meanwhile. The rate is the project's: moving the rate bar
// is a step of the history, and the project file keeps it.

#include <QObject>
#include <cstdint>

#include "platform/GuardedHandlers.h"

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
  // The rate bar shows the rate the project names; a project that names
  // none (one saved before projects held their rate) plays at the rate the
  // user's settings kept for its file, else at the rate there is.
  void ShowPlaybackRate(bool Opened);
  // The playback rate of a timer interval, in words.
  static QString RateText(int Interval);

 signals:
  // Playback started or ended.
  void PlayingChanged(bool Playing);

 private:
  void Wire();
  // Sets the rate bar and the timer without making a step of it.
  void ShowRate(int Interval);
  // The rate the user's settings kept for the project's file, or 0.
  int RememberedRate() const;

  TDocument& Doc;
  TMainControls& Ui;
  TWiring Wiring;
  int32_t PlayFrameIndex = 0;
  int TicksLeft = 0;         // of the hold of the frame shown
  bool ShowingRate = false;  // the bar is being set to the project's rate
  int UnnamedRate = 50;      // the rate of a project that names none
};
