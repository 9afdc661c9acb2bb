// SPDX-License-Identifier: GPL-3.0-or-later
// The figure buttons: add a figure of the chosen type, and delete, centre,
// flip, recolour, rescale, reorder or edit the type of the selected figure.
// They change only the working frame, each as one step of the history; Next
// Frame stores the change.

#include <QComboBox>
#include <QSpinBox>
#include <algorithm>

#include "builder/FigureBuilderUnit.h"
#include "editor/MainUnit.h"
#include "model/Common.h"
#include "model/Rounding.h"
#include "platform/Dialogs.h"

void TMainForm::AddFigureButtonClick() {
  // The type of the selected item, by its place in the list: two types may
  // show the same name. Text typed over the list and not yet confirmed is
  // not a choice, and adds nothing.
  const int item = Ui.FigureComboBox->currentIndex();
  if (item < 0 || Ui.FigureComboBox->currentText() != Ui.FigureComboBox->itemText(item)) return;
  Doc.AddFigure(item + 1);
}

void TMainForm::DeleteFigureButtonClick() { Doc.DeleteFigure(); }

void TMainForm::CenterFigure(int Index) { Doc.CenterFigure(Index); }

void TMainForm::CenterButtonClick() { Doc.CenterSelected(); }

void TMainForm::FlipButtonClick() { Doc.FlipFigure(); }

void TMainForm::ColorButtonClick() {
  if (Doc.Selected() == nullptr) return;
  const std::optional<TColor> chosen = Dialogs.ChooseColor(this, ColorDialogState.Color);
  if (!chosen) return;
  ColorDialogState.Color = *chosen;
  Doc.SetFigureColor(*chosen);
}

void TMainForm::FrontButtonClick() { Doc.FigureToFront(); }

void TMainForm::BackButtonClick() { Doc.FigureToBack(); }

void TMainForm::EditTypeButtonClick() {
  const TFigure* selected = Doc.Selected();
  if (selected == nullptr) return;
  // The builder opens on a copy of the figure's type; the figure and its type
  // stay as they are. A changed type comes back as a new type.
  BuilderWindow->EditFigureType(selected->Type());
}

void TMainForm::ScaleSpinEditChange() {
  if (IgnoreScaleChange) {
    IgnoreScaleChange = false;
    return;
  }
  if (Doc.Selected() == nullptr) return;
  // The edit's value, which it reads in its locale's digits; an emptied edit
  // has no new value and changes nothing. While the user types, the edit
  // keeps what is typed rather than showing the scale back.
  ScaleTyped = true;
  Doc.SetFigureScale(static_cast<float>(Ui.ScaleSpinEdit->value() / 100.0));
  ScaleTyped = false;
}

void TMainForm::SetScaleEditFromScale(float Scale) {
  const long double percent = static_cast<long double>(Scale) * 100;
  // The edit brings the value into its range; comparing with the value it will
  // really show makes sure the ignored change event does happen.
  const int value =
      std::clamp(TruncNumber(static_cast<double>(percent)), Ui.ScaleSpinEdit->minimum(), Ui.ScaleSpinEdit->maximum());
  if (Ui.ScaleSpinEdit->value() != value) IgnoreScaleChange = true;
  // Also puts the number back when the user had emptied the edit.
  Ui.ScaleSpinEdit->setValue(value);
}
