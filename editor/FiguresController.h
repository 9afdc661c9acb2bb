// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The figures of the working frame and their types: the figure buttons (add
// a figure of the chosen type; delete, centre, flip, recolour, rescale,
// reorder the selected figures or edit their type), the type list, and
// Load Figure Type. They change only the working frame, each as one step of
// the history; Next Frame stores the change.

#include <QObject>

#include "model/Colors.h"
#include "platform/GuardedHandlers.h"

class TDocument;
class TFigureBuilderForm;
struct TMainControls;

class TFiguresController : public QObject {
  Q_OBJECT
 public:
  // Builder opens on a figure's type for Edit.
  TFiguresController(TDocument& Doc, TMainControls& Ui, const TWiring& Wiring, TFigureBuilderForm& Builder);

  void AddFigureButtonClick();
  void DeleteFigureButtonClick();
  void CenterButtonClick();
  void FlipButtonClick();
  void ColorButtonClick();
  void FrontButtonClick();
  void BackButtonClick();
  void EditTypeButtonClick();
  void ScaleSpinEditChange();
  // File menu: a figure type from a .stk file, and one figure of it.
  void LoadFigureClick();

  // The scale edit and the colour dialog show figure Index's scale and colour.
  void SetFigureControls(int Index);
  void SetScaleEditFromScale(float Scale);
  // The eight controls that act on the selected figure, on or off; during
  // playback they stay off and the state is applied at Stop.
  void EnableFigureControls(bool Enable);
  // While the stored frames play, the figure controls and Add Figure are off.
  void PlaybackChanged(bool Playing);

  // What the controls show, for tests.
  bool GetFigureControlsEnabled() const { return FigureControlsEnabled; }
  TColor GetDialogColor() const { return DialogColor; }

 private:
  void Wire();
  void FollowDocument();
  void ShowTypes(bool Reset);
  void ShowSelected();

  TDocument& Doc;
  TMainControls& Ui;
  TWiring Wiring;
  TFigureBuilderForm& Builder;
  bool IgnoreScaleChange = false;
  bool ScaleTyped = false;  // the scale edit's own change is being applied
  bool FigureControlsEnabled = true;
  TColor DialogColor = ColorBlack;  // the colour the colour chooser shows first
};
