// SPDX-License-Identifier: GPL-3.0-or-later
// The figure buttons, the scale edit, the type list and Load Figure Type.

#include "editor/FiguresController.h"

#include <QComboBox>
#include <QPushButton>
#include <QSpinBox>
#include <algorithm>

#include "builder/FigureBuilderUnit.h"
#include "editor/MainControls.h"
#include "files/FileNames.h"
#include "files/StkFile.h"
#include "files/WholeFile.h"
#include "model/Common.h"
#include "model/Document.h"
#include "model/Rounding.h"
#include "platform/ProgramPaths.h"

TFiguresController::TFiguresController(TDocument& Doc, TMainControls& Ui, const TWiring& Wiring,
                                       TFigureBuilderForm& Builder)
    : QObject(Wiring.Parent()), Doc(Doc), Ui(Ui), Wiring(Wiring), Builder(Builder) {
  Wire();
  FollowDocument();
}

void TFiguresController::Wire() {
  Wiring.Connect(Ui.AddFigureButton, this, &TFiguresController::AddFigureButtonClick);
  Wiring.Connect(Ui.DeleteFigureButton, this, &TFiguresController::DeleteFigureButtonClick);
  Wiring.Connect(Ui.EditTypeButton, this, &TFiguresController::EditTypeButtonClick);
  Wiring.Connect(Ui.CenterButton, this, &TFiguresController::CenterButtonClick);
  Wiring.Connect(Ui.FlipButton, this, &TFiguresController::FlipButtonClick);
  Wiring.Connect(Ui.ColorButton, this, &TFiguresController::ColorButtonClick);
  Wiring.Connect(Ui.FrontButton, this, &TFiguresController::FrontButtonClick);
  Wiring.Connect(Ui.BackButton, this, &TFiguresController::BackButtonClick);
  Wiring.Connect(Ui.LoadFigureHotkey, this, &TFiguresController::LoadFigureClick);
  Wiring.Connect(Ui.LoadFigureAction, this, &TFiguresController::LoadFigureClick);
  Wiring.Connect(Ui.ScaleSpinEdit, &QSpinBox::valueChanged, this, &TFiguresController::ScaleSpinEditChange);
  // What is typed into the scale field until Return or leaving it is one step.
  connect(Ui.ScaleSpinEdit, &QSpinBox::editingFinished, &Doc, &TDocument::EndGesture);
}

void TFiguresController::FollowDocument() {
  connect(&Doc, &TDocument::DocumentReset, this, [this] {
    ShowTypes(true);
    ShowSelected();
  });
  connect(&Doc, &TDocument::TypesChanged, this, [this] { ShowTypes(false); });
  connect(&Doc, &TDocument::EditChanged, this, &TFiguresController::ShowSelected);
  connect(&Doc, &TDocument::FigureChanged, this, [this] {
    if (!ScaleTyped) SetFigureControls(Doc.SelectedFigure());
  });
}

void TFiguresController::ShowTypes(bool Reset) {
  const QStringList names = Doc.Animation().Types.ListedNames();
  const int before = Ui.FigureComboBox->count();
  const int current = Ui.FigureComboBox->currentIndex();
  Ui.FigureComboBox->clear();
  Ui.FigureComboBox->addItems(names);
  // A new project starts at the first type; a type just added is chosen;
  // otherwise the choice stays where it can.
  if (Reset)
    Ui.FigureComboBox->setCurrentIndex(0);
  else
    Ui.FigureComboBox->setCurrentIndex(names.size() > before ? static_cast<int>(names.size()) - 1
                                                             : (current < names.size() ? std::max(current, 0) : 0));
}

void TFiguresController::ShowSelected() {
  const int count = Doc.WorkingFrame().Count();
  EnableFigureControls(count > 0);
  if (count > 0) SetFigureControls(Doc.SelectedFigure());
}

void TFiguresController::EnableFigureControls(bool Enable) {
  if (FigureControlsEnabled == Enable) return;
  FigureControlsEnabled = Enable;
  // During playback the controls stay off; Stop applies the recorded state.
  if (Ui.Playing()) return;
  for (QWidget* control : Ui.FigureControls()) control->setEnabled(Enable);
}

void TFiguresController::PlaybackChanged(bool Playing) {
  Ui.AddFigureButton->setEnabled(!Playing);
  const bool figureControls = !Playing && Doc.WorkingFrame().Count() > 0;
  for (QWidget* control : Ui.FigureControls()) control->setEnabled(figureControls);
  if (!Playing) FigureControlsEnabled = figureControls;
}

void TFiguresController::SetFigureControls(int Index) {
  const TFigures& frame = Doc.WorkingFrame();
  if (frame.Count() == 0 || Index < 0 || Index >= frame.Count()) return;
  SetScaleEditFromScale(frame.Items[static_cast<std::size_t>(Index)].Scale);
  DialogColor = frame.Items[static_cast<std::size_t>(Index)].Color;
}

void TFiguresController::AddFigureButtonClick() {
  // The type of the selected item, by its place in the list: two types may
  // show the same name. Text typed over the list and not yet confirmed is
  // not a choice, and adds nothing.
  const int item = Ui.FigureComboBox->currentIndex();
  if (item < 0 || Ui.FigureComboBox->currentText() != Ui.FigureComboBox->itemText(item)) return;
  Doc.AddFigure(item + 1);
}

void TFiguresController::DeleteFigureButtonClick() { Doc.DeleteFigure(); }

void TFiguresController::CenterButtonClick() { Doc.CenterSelected(); }

void TFiguresController::FlipButtonClick() { Doc.FlipFigure(); }

void TFiguresController::ColorButtonClick() {
  if (Doc.Selected() == nullptr) return;
  const std::optional<TColor> chosen = Wiring.Dialogs().ChooseColor(Wiring.Parent(), DialogColor);
  if (!chosen) return;
  DialogColor = *chosen;
  Doc.SetFigureColor(*chosen);
}

void TFiguresController::FrontButtonClick() { Doc.FigureToFront(); }

void TFiguresController::BackButtonClick() { Doc.FigureToBack(); }

void TFiguresController::EditTypeButtonClick() {
  const TFigure* selected = Doc.Selected();
  if (selected == nullptr) return;
  // The builder opens on a copy of the figure's type; the figure and its type
  // stay as they are. A changed type comes back as a new type.
  Builder.EditFigureType(selected->Type());
}

void TFiguresController::ScaleSpinEditChange() {
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

void TFiguresController::SetScaleEditFromScale(float Scale) {
  const long double percent = static_cast<long double>(Scale) * 100;
  // The edit brings the value into its range; comparing with the value it will
  // really show makes sure the ignored change event does happen.
  const int value =
      std::clamp(TruncNumber(static_cast<double>(percent)), Ui.ScaleSpinEdit->minimum(), Ui.ScaleSpinEdit->maximum());
  if (Ui.ScaleSpinEdit->value() != value) IgnoreScaleChange = true;
  // Also puts the number back when the user had emptied the edit.
  Ui.ScaleSpinEdit->setValue(value);
}

void TFiguresController::LoadFigureClick() {
  if (Doc.Animation().Types.Count() >= MaxFigureTypes) {
    Wiring.Dialogs().ShowMessage(Wiring.Parent(), QStringLiteral("you cannot add any more figure types"));
    return;
  }
  TFileDialogRequest request;
  request.Filters = {QStringLiteral("Stick Figure File (*.stk)")};
  request.DefaultExt = QStringLiteral("stk");
  request.InitialDir = StickFiguresFolder();
  const TFileDialogResult chosen = Wiring.Dialogs().OpenFile(Wiring.Parent(), request);
  if (!chosen.Accepted) return;

  const QString name = FigureTypeNameOf(chosen.Path);
  // A type of that name is already listed: only a figure of it is added.
  const int listed = static_cast<int>(Doc.Animation().Types.ListedNames().indexOf(name));
  if (listed >= 0) {
    Ui.FigureComboBox->setCurrentIndex(listed);
    Doc.AddFigure(listed + 1);
    return;
  }
  auto type = std::make_shared<const TFigureType>(ReadStkFile(ReadFileStart(chosen.Path, MaxStkFileBytes)));
  Doc.AddFigureType(std::move(type), name, QStringLiteral("Load Figure Type"));
}
