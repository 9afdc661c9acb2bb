// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The dimensions window: a modeless window in which the user sets the
// animation's width and height in pixels. It is created once and shown and
// hidden as needed; each time it becomes active it shows the current size.

#include <QDialog>
#include <QSpinBox>

class QGroupBox;
class QLabel;
class QPushButton;
class TBackgroundController;
class TDialogs;
class TDocument;

// The question before a command changes every stored frame.
inline const QString ChangeAllFramesQuestion =
    QStringLiteral("This will change all frames in the animation. Do you wish to continue?");

// A whole-number field for a size: anything may be typed, and when the text
// is confirmed (Enter, leaving the field, interpretText) text that is not a
// whole number reads as the minimum and a number out of range becomes the
// nearest bound.
class TSizeSpinEdit : public QSpinBox {
 public:
  using QSpinBox::QSpinBox;

 protected:
  QValidator::State validate(QString& Text, int& Pos) const override;
  void fixup(QString& Text) const override;
  int valueFromText(const QString& Text) const override;

 private:
  int Read(const QString& Text) const;
};

class TOptionsForm : public QDialog {
  Q_OBJECT
 public:
  static constexpr int MinSide = 10;
  static constexpr int MaxSide = 10000;

  // Shows Doc's size; Background changes it.
  TOptionsForm(const TDocument& Doc, TBackgroundController& Background, TDialogs& Dialogs, QWidget* Parent = nullptr);

  QGroupBox* DimensionsGroupBox;  // "Animation Dimensions"
  QLabel* WidthLabel;             // "Width"
  QLabel* HeightLabel;            // "Height"
  TSizeSpinEdit* SpinEditWidth;
  TSizeSpinEdit* SpinEditHeight;
  QPushButton* OkButton;      // OK, the default button
  QPushButton* CancelButton;  // Cancel, answers Escape

  // Fills the fields with the current animation size.
  void FormActivate();
  // Applies the fields and hides the window.
  void OkButtonClick();
  // Hides the window; nothing changes.
  void CancelButtonClick();

 protected:
  bool event(QEvent* Event) override;
  void reject() override;

 private:
  const TDocument& Doc;
  TBackgroundController& Background;
  TDialogs& Dialogs;
};
