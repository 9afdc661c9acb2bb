// The figure buttons: add a figure of the chosen type, and delete, centre,
// flip, recolour, rescale, reorder or edit the type of the selected figure.
// They change only the working frame; Next Frame stores the change.

#include <QComboBox>
#include <QSpinBox>
#include <algorithm>
#include <numbers>

#include "builder/FigureBuilderUnit.h"
#include "editor/MainUnit.h"
#include "model/Common.h"
#include "model/Rounding.h"
#include "platform/Dialogs.h"

namespace {
constexpr double Pi = std::numbers::pi;
}

void TMainForm::AddFigureButtonClick() {
  if (EditFrame.Count() >= TFigures::MaxFigures) return;
  // The type of the selected item, by its place in the list: two types may
  // show the same name. Text typed over the list and not yet confirmed is
  // not a choice, and adds nothing.
  const int item = FigureComboBox->currentIndex();
  if (item < 0 || item + 1 >= FigureTypeCount() || FigureComboBox->currentText() != FigureComboBox->itemText(item))
    return;

  EditFrame.SetCount(EditFrame.Count() + 1);
  if (EditFrame.Count() == 1) EnableFigureControls(true);
  TFigure& figure = EditFrame.Items.back();
  figure.SetType(static_cast<uint8_t>(item + 1));
  figure.MoveBy(RealPoint(static_cast<float>(AnimationWidth / 2), static_cast<float>(AnimationHeight / 2)));
  SelectedFigure = EditFrame.Count() - 1;
  SetFigureControls(SelectedFigure);
  DrawFigures();
}

void TMainForm::DeleteFigureButtonClick() {
  if (SelectedFigure >= EditFrame.Count()) return;
  EditFrame.Items.erase(EditFrame.Items.begin() + SelectedFigure);
  if (SelectedFigure == EditFrame.Count() && SelectedFigure > 0) --SelectedFigure;
  if (EditFrame.Count() == 0) {
    SelectedFigure = 0;
    EnableFigureControls(false);
  } else {
    SetFigureControls(SelectedFigure);
  }
  DrawFigures();
}

void TMainForm::CenterFigure(int Index) {
  if (Index < 0 || Index >= EditFrame.Count()) return;
  TFigure& figure = EditFrame.Items[Index];
  const float dx = static_cast<float>(AnimationWidth / 2) - figure.Root().X;
  const float dy = static_cast<float>(AnimationHeight / 2) - figure.Root().Y;
  figure.MoveBy(RealPoint(dx, dy));
  DrawFigures();
}

void TMainForm::CenterButtonClick() { CenterFigure(SelectedFigure); }

void TMainForm::FlipButtonClick() {
  if (SelectedFigure >= EditFrame.Count()) return;
  // Mirror left to right about the vertical line through the root.
  TFigure& figure = EditFrame.Items[SelectedFigure];
  for (double& a : figure.Angles) a = a < Pi ? Pi - a : 3 * Pi - a;
  figure.SetPosition(figure.Root());
  DrawFigures();
}

void TMainForm::ColorButtonClick() {
  if (SelectedFigure >= EditFrame.Count()) return;
  const std::optional<TColor> chosen = Dialogs.ChooseColor(this, ColorDialog1.Color);
  if (!chosen) return;
  ColorDialog1.Color = *chosen;
  EditFrame.Items[SelectedFigure].Color = *chosen;
  DrawFigures();
}

void TMainForm::FrontButtonClick() {
  if (SelectedFigure + 1 >= EditFrame.Count()) return;
  auto& items = EditFrame.Items;
  std::rotate(items.begin() + SelectedFigure, items.begin() + SelectedFigure + 1, items.end());
  SelectedFigure = EditFrame.Count() - 1;
  DrawFigures();
}

void TMainForm::BackButtonClick() {
  if (SelectedFigure == 0 || SelectedFigure >= EditFrame.Count()) return;
  auto& items = EditFrame.Items;
  std::rotate(items.begin(), items.begin() + SelectedFigure, items.begin() + SelectedFigure + 1);
  SelectedFigure = 0;
  DrawFigures();
}

void TMainForm::EditTypeButtonClick() {
  if (SelectedFigure >= EditFrame.Count() || FigureBuilder == nullptr) return;
  // The builder opens on a copy of the figure's type; the figure and its type
  // stay as they are. A changed type comes back as a new type.
  FigureBuilder->EditFigureType(*FigureTypes[EditFrame.Items[SelectedFigure].TypeIndex]);
}

void TMainForm::ScaleSpinEditChange() {
  if (IgnoreScaleChange) {
    IgnoreScaleChange = false;
    return;
  }
  if (EditFrame.Count() == 0 || SelectedFigure >= EditFrame.Count()) return;
  // The edit's value, which it reads in its locale's digits; an emptied edit
  // has no new value and changes nothing.
  EditFrame.Items[SelectedFigure].SetScale(static_cast<float>(ScaleSpinEdit->value() / 100.0));
  DrawFigures();
}

void TMainForm::SetScaleEditFromScale(float Scale) {
  const long double percent = static_cast<long double>(Scale) * 100;
  // The edit brings the value into its range; comparing with the value it will
  // really show makes sure the ignored change event does happen.
  const int value =
      std::clamp(TruncNumber(static_cast<double>(percent)), ScaleSpinEdit->minimum(), ScaleSpinEdit->maximum());
  if (ScaleSpinEdit->value() != value) IgnoreScaleChange = true;
  // Also puts the number back when the user had emptied the edit.
  ScaleSpinEdit->setValue(value);
}
