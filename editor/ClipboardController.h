// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Figures and frames on the system's clipboard: Cut, Copy, Paste and
// Duplicate of the selected figures, Paste Into Frames, and the thumbnail
// menu's Copy Frame, Paste Frame After, Duplicate Frame and Paste Into
// Frames. What goes on the clipboard is a clip (files/FigureClip.h) under a
// type of its own, so another running program pastes it too, with the
// figure types it needs.

#include <QObject>
#include <vector>

#include "model/FigureUnit.h"
#include "platform/GuardedHandlers.h"

class TDocument;
class TFramesController;
struct TMainControls;

class TClipboardController : public QObject {
  Q_OBJECT
 public:
  // Frames says which thumbnails the thumbnail menu acts on.
  TClipboardController(TDocument& Doc, TMainControls& Ui, const TWiring& Wiring, const TFramesController& Frames);

  void CutClick();
  void CopyClick();
  void PasteClick();
  void DuplicateClick();
  // From the frame after the one under edit; with the new frame under edit,
  // from a frame the user names.
  void PasteIntoFramesClick();
  // The thumbnail menu's entries.
  void FramePasteIntoFramesClick();
  void CopyFrameClick();
  void PasteFrameAfterClick();
  void DuplicateFrameClick();

 private:
  void Wire();
  std::vector<TFigure> SelectedFigureCopies() const;
  // Asks up to which frame, from frame First on, to put the clipboard's figures.
  void PasteIntoFrames(int First);
  int FrameCount() const;

  TDocument& Doc;
  TMainControls& Ui;
  TWiring Wiring;
  const TFramesController& Frames;
};
