// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The export options window: for a GIF ("Gif Options") the frame delay, the
// three optimisations, exact colours, the smaller file and the shrink
// factor; for an animated PNG or a video only the delay and the shrink
// factor, under a title of their own. It is shown modally for each export;
// OK runs the export, Cancel writes nothing. What OK ran with is kept per
// type in the user's settings and shown the next time.

#include <QDialog>

#include "export/ExportTypes.h"
#include "export/GifExport.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QSpinBox;
class TDialogs;
class TProgressForm;

class TGifOptionsForm : public QDialog {
  Q_OBJECT
 public:
  TGifOptionsForm(TDialogs& Dialogs, TProgressForm& ProgressForm, QWidget* Parent = nullptr);

  // What the next OK exports: the animation's stored frames, as Type
  // (a row of ExportTypes() with an options window), to ExportTarget(Type,
  // Base): Base + ".gif" or ".apng", a video Base itself, which ends in its
  // type's ending. Animation must stay as it is until the window closes.
  // The title, the controls shown and the settings are the row's: the GIF's
  // own options are hidden for the types that do not follow them. The
  // figures' lines are drawn as Lines says (the main window's choice). The
  // controls show what the last OK for that type's settings ran with.
  // std::invalid_argument for a type written without the window.
  void SetExport(const TAnimation& Animation, const QString& Base, TExportTypeId Type = TExportTypeId::Gif,
                 TLineStyle Lines = TLineStyle::Pixel);
  // The type the next OK exports.
  const TExportType& ExportedType() const { return *Type; }
  const QString& GetAnimationFileName() const { return AnimationFileName; }
  void OkButtonClick();
  // Writes the stored frames with the type's writer to its target for
  // AnimationFileName with the options shown, then clears
  // AnimationFileName. Errors are thrown to the caller.
  void ProcessGif();
  // The options as the controls show them, with the lines SetExport was given.
  TGifExportOptions Options() const;
  // The main window's playback interval in milliseconds, which the
  // "Playback Rate" button copies into the delay.
  void SetPlaybackInterval(int Milliseconds) { PlaybackInterval = Milliseconds; }
  void PlaybackRateButtonClick();

  QLabel* DelayLabel = nullptr;
  QSpinBox* SpinEditDelay = nullptr;
  QGroupBox* OptimizationGroupBox = nullptr;
  QCheckBox* CheckBoxMerge = nullptr;
  QCheckBox* CheckBoxCrop = nullptr;
  QCheckBox* CheckBoxPalette = nullptr;
  QCheckBox* CheckBoxExactColors = nullptr;
  QCheckBox* CheckBoxSmaller = nullptr;
  QLabel* ShrinkLabel = nullptr;
  QSpinBox* SpinEditShrink = nullptr;
  QPushButton* OkButton = nullptr;
  QPushButton* CancelButton = nullptr;
  QPushButton* PlaybackRateButton = nullptr;

 public slots:
  void reject() override;

 protected:
  void showEvent(QShowEvent* Event) override;

 private:
  // The user's settings of the type's options (its row's settings key):
  // read into the controls, or written from them.
  void RecallOptions();
  void RememberOptions() const;

  int PlaybackInterval = 50;
  TDialogs& Dialogs;
  TProgressForm& ProgressForm;
  bool Exporting = false;  // window events run during the export; OK and closing wait
  const TAnimation* ExportedAnimation = nullptr;
  const TExportType* Type = &ExportType(TExportTypeId::Gif);
  TLineStyle Lines = TLineStyle::Pixel;
  QString AnimationFileName;  // the base name the GIF is written to
};
