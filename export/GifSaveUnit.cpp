#include "export/GifSaveUnit.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QStyle>

#include "export/PngExport.h"
#include "export/ProgressUnit.h"
#include "export/VideoExport.h"
#include "model/Common.h"
#include "platform/ErrorReport.h"

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
  Label1 = new QLabel(QStringLiteral("Frame Delay (1/100th second)"), this);
  Label1->move(8, 8);
  Label1->adjustSize();
  SpinEditDelay = SpinEdit(this, 1, 1000000, 1, QRect(8, 28, 121, 24));

  Label2 = new QLabel(QStringLiteral("Shrink frames by    1 /"), this);
  Label2->move(8, 66);
  Label2->adjustSize();
  SpinEditShrink = SpinEdit(this, 1, 9, 1, QRect(Label2->geometry().right() + 6, 62, 45, 24));

  GroupBox1 = new QGroupBox(QStringLiteral("Optimization"), this);
  GroupBox1->setGeometry(8, 96, 251, 74);
  CheckBoxMerge = CheckBox(GroupBox1, QStringLiteral("Merge"), QRect(12, 22, 75, 20));
  CheckBoxCrop = CheckBox(GroupBox1, QStringLiteral("Crop"), QRect(92, 22, 75, 20));
  CheckBoxPalette = CheckBox(GroupBox1, QStringLiteral("Palette"), QRect(172, 22, 75, 20));
  CheckBoxExactColors = CheckBox(GroupBox1, QStringLiteral("Exact colours"), QRect(12, 46, 115, 20), false);
  CheckBoxSmaller = CheckBox(GroupBox1, QStringLiteral("Smaller file"), QRect(132, 46, 115, 20), false);

  BitBtn1 = new QPushButton(style()->standardIcon(QStyle::SP_DialogOkButton), QStringLiteral("OK"), this);
  BitBtn1->setGeometry(96, 180, 75, 28);
  BitBtn1->setDefault(true);
  connect(BitBtn1, &QPushButton::clicked, this, [this] { BitBtn1Click(); });
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
  return options;
}

void TGifOptionsForm::SetExport(const TAnimation& Animation, const QString& Base, TAnimatedExport Exported) {
  ExportedAnimation = &Animation;
  AnimationFileName = Base;
  Kind = Exported;
  GroupBox1->setEnabled(Kind == TAnimatedExport::Gif);
}

void TGifOptionsForm::BitBtn1Click() {
  if (Exporting) return;
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
    ProgressForm.ProgressBar1->setValue(Percent);
    QCoreApplication::processEvents();
  };
  const TGifExportOptions options = Options();
  if (Kind == TAnimatedExport::Video)
    ExportVideoFile(AnimationFileName, VideoFormatOf(AnimationFileName).value_or(TVideoFormat::Mp4),
                    *ExportedAnimation, {.Delay = options.Delay, .Shrink = options.Shrink}, progress);
  else if (Kind == TAnimatedExport::AnimatedPng)
    ExportAnimatedPngFile(AnimationFileName + QStringLiteral(".apng"), *ExportedAnimation, options.Delay,
                          options.Shrink, progress);
  else
    ExportGifFile(AnimationFileName + QStringLiteral(".gif"), *ExportedAnimation, options, progress);
  AnimationFileName.clear();
}

void TGifOptionsForm::reject() {
  if (!Exporting) QDialog::reject();
}

void TGifOptionsForm::showEvent(QShowEvent* Event) {
  CentreOnScreen(*this);
  QDialog::showEvent(Event);
}
