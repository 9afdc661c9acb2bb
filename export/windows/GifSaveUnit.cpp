// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/windows/GifSaveUnit.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>
#include <QStyle>
#include <algorithm>
#include <stdexcept>

#include "export/windows/ProgressUnit.h"
#include "model/Common.h"
#include "platform/ErrorReport.h"
#include "platform/ObjectNames.h"

namespace {

QSpinBox* SpinEdit(QWidget* Parent, int Min, int Max, int Value, QRect Place) {
  auto* edit = new QSpinBox(Parent);
  edit->setRange(Min, Max);
  edit->setValue(Value);
  edit->setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
  edit->setGeometry(Place);
  return edit;
}

QCheckBox* CheckBox(QWidget* Parent, const QString& Caption, QRect Place, bool Checked = true) {
  auto* box = new QCheckBox(Caption, Parent);
  box->setChecked(Checked);
  box->setGeometry(Place);
  return box;
}

}  // namespace

TGifOptionsForm::TGifOptionsForm(TDialogs& Dialogs, TProgressForm& ProgressForm, QWidget* Parent)
    : QDialog(Parent, Qt::Tool | Qt::MSWindowsFixedSizeDialogHint), Dialogs(Dialogs), ProgressForm(ProgressForm) {
  setWindowTitle(QStringLiteral("Gif Options"));
  setModal(true);
  // A second row of check boxes below the three optimisations makes the
  // window 24 pixels taller than the three alone needed.
  setFixedSize(267, 217);

  // Captions keep their natural width; the edits sit beside or below them.
  DelayLabel = new QLabel(QStringLiteral("Frame Delay (1/100th second)"), this);
  DelayLabel->move(8, 8);
  DelayLabel->adjustSize();
  SpinEditDelay = SpinEdit(this, 1, 1000000, 1, QRect(8, 28, 121, 24));
  // The GIF plays at the speed the animation played in the main window.
  PlaybackRateButton = new QPushButton(QStringLiteral("Playback Rate"), this);
  PlaybackRateButton->setGeometry(136, 27, 123, 26);
  PlaybackRateButton->setAutoDefault(false);
  PlaybackRateButton->setToolTip(QStringLiteral("the delay that plays the GIF at the main window's playback speed"));
  connect(PlaybackRateButton, &QPushButton::clicked, this, [this] { PlaybackRateButtonClick(); });

  ShrinkLabel = new QLabel(QStringLiteral("Shrink frames by    1 /"), this);
  ShrinkLabel->move(8, 66);
  ShrinkLabel->adjustSize();
  SpinEditShrink = SpinEdit(this, 1, 9, 1, QRect(ShrinkLabel->geometry().right() + 6, 62, 45, 24));

  OptimizationGroupBox = new QGroupBox(QStringLiteral("Optimization"), this);
  OptimizationGroupBox->setGeometry(8, 96, 251, 74);
  CheckBoxMerge = CheckBox(OptimizationGroupBox, QStringLiteral("Merge"), QRect(12, 22, 75, 20));
  CheckBoxCrop = CheckBox(OptimizationGroupBox, QStringLiteral("Crop"), QRect(92, 22, 75, 20));
  CheckBoxPalette = CheckBox(OptimizationGroupBox, QStringLiteral("Palette"), QRect(172, 22, 75, 20));
  CheckBoxExactColors = CheckBox(OptimizationGroupBox, QStringLiteral("Exact colours"), QRect(12, 46, 115, 20), false);
  CheckBoxSmaller = CheckBox(OptimizationGroupBox, QStringLiteral("Smaller file"), QRect(132, 46, 115, 20), false);

  OkButton = new QPushButton(style()->standardIcon(QStyle::SP_DialogOkButton), QStringLiteral("OK"), this);
  OkButton->setGeometry(52, 180, 75, 28);
  OkButton->setDefault(true);
  connect(OkButton, &QPushButton::clicked, this, [this] { OkButtonClick(); });
  CancelButton = new QPushButton(style()->standardIcon(QStyle::SP_DialogCancelButton), QStringLiteral("Cancel"), this);
  CancelButton->setGeometry(140, 180, 75, 28);
  CancelButton->setAutoDefault(false);
  connect(CancelButton, &QPushButton::clicked, this, [this] { reject(); });
  KeepDesignNames(
      {{DelayLabel, "Label1"}, {ShrinkLabel, "Label2"}, {OptimizationGroupBox, "GroupBox1"}, {OkButton, "BitBtn1"}});
}

void TGifOptionsForm::PlaybackRateButtonClick() {
  // The delay counts hundredths of a second; the playback interval milliseconds.
  SpinEditDelay->setValue(std::max(1, (PlaybackInterval + 5) / 10));
}

TGifExportOptions TGifOptionsForm::Options() const {
  TGifExportOptions options;
  options.Delay = SpinEditDelay->value();
  options.Shrink = static_cast<uint8_t>(SpinEditShrink->value());
  options.Merge = CheckBoxMerge->isChecked();
  options.Crop = CheckBoxCrop->isChecked();
  options.Palette = CheckBoxPalette->isChecked();
  options.ExactColors = CheckBoxExactColors->isChecked();
  options.Smaller = CheckBoxSmaller->isChecked();
  options.Lines = Lines;
  return options;
}

void TGifOptionsForm::SetExport(const TAnimation& Animation, const QString& Base, TExportTypeId Exported,
                                TLineStyle LineStyle) {
  const TExportType& type = ExportType(Exported);
  if (type.OptionsTitle == nullptr) throw std::invalid_argument("that export type has no options window");
  ExportedAnimation = &Animation;
  AnimationFileName = Base;
  Type = &type;
  Lines = LineStyle;
  // Only the GIF has the optimisations; the window is shorter without them.
  // Every type with this window follows the delay and the shrink factor.
  const bool gif = Type->Follows.Gif;
  OptimizationGroupBox->setEnabled(gif);
  OptimizationGroupBox->setVisible(gif);
  const int buttonsTop = gif ? 180 : 102;
  OkButton->move(OkButton->x(), buttonsTop);
  CancelButton->move(CancelButton->x(), buttonsTop);
  setFixedSize(267, buttonsTop + 37);
  setWindowTitle(QString::fromLatin1(Type->OptionsTitle));
  RecallOptions();
}

void TGifOptionsForm::RecallOptions() {
  // A user who never exported this kind gets the defaults.
  const TGifExportOptions defaults;
  QSettings settings;
  settings.beginGroup(QLatin1String(Type->SettingsKey));
  SpinEditDelay->setValue(settings.value(QStringLiteral("Delay"), static_cast<int>(defaults.Delay)).toInt());
  SpinEditShrink->setValue(settings.value(QStringLiteral("Shrink"), defaults.Shrink).toInt());
  if (!Type->Follows.Gif) return;
  CheckBoxMerge->setChecked(settings.value(QStringLiteral("Merge"), defaults.Merge).toBool());
  CheckBoxCrop->setChecked(settings.value(QStringLiteral("Crop"), defaults.Crop).toBool());
  CheckBoxPalette->setChecked(settings.value(QStringLiteral("Palette"), defaults.Palette).toBool());
  CheckBoxExactColors->setChecked(settings.value(QStringLiteral("ExactColors"), defaults.ExactColors).toBool());
  CheckBoxSmaller->setChecked(settings.value(QStringLiteral("Smaller"), defaults.Smaller).toBool());
}

void TGifOptionsForm::RememberOptions() const {
  QSettings settings;
  settings.beginGroup(QLatin1String(Type->SettingsKey));
  settings.setValue(QStringLiteral("Delay"), SpinEditDelay->value());
  settings.setValue(QStringLiteral("Shrink"), SpinEditShrink->value());
  if (!Type->Follows.Gif) return;
  settings.setValue(QStringLiteral("Merge"), CheckBoxMerge->isChecked());
  settings.setValue(QStringLiteral("Crop"), CheckBoxCrop->isChecked());
  settings.setValue(QStringLiteral("Palette"), CheckBoxPalette->isChecked());
  settings.setValue(QStringLiteral("ExactColors"), CheckBoxExactColors->isChecked());
  settings.setValue(QStringLiteral("Smaller"), CheckBoxSmaller->isChecked());
}

void TGifOptionsForm::OkButtonClick() {
  if (Exporting) return;
  RememberOptions();
  Exporting = true;
  RunGuarded(Dialogs, this, [this] { ProcessGif(); });
  Exporting = false;
  accept();
}

void TGifOptionsForm::ProcessGif() {
  struct THideAfter {
    TProgressForm& Form;
    ~THideAfter() { Form.hide(); }
  } hideAfter{ProgressForm};
  if (ExportedAnimation == nullptr) return;
  ProgressForm.show();
  QCoreApplication::processEvents();
  const auto progress = [this](int Percent) {
    ProgressForm.ProgressBar->setValue(Percent);
    QCoreApplication::processEvents();
  };
  Type->Write({.Target = ExportTarget(*Type, AnimationFileName),
               .Animation = *ExportedAnimation,
               .Options = Options(),
               .Progress = progress});
  AnimationFileName.clear();
}

void TGifOptionsForm::reject() {
  if (!Exporting) QDialog::reject();
}

void TGifOptionsForm::showEvent(QShowEvent* Event) {
  CenterOnScreen(*this);
  QDialog::showEvent(Event);
}
