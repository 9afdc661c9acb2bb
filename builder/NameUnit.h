// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The name prompt: asks for the name of a figure type that is added to the
// animation without a file name. A name left empty becomes "Figure Type "
// and the next number of a counter that lives as long as the program.

#include <QDialog>
#include <cstdint>

class QLabel;
class QLineEdit;
class QPushButton;

class TNameForm : public QDialog {
  Q_OBJECT
 public:
  explicit TNameForm(QWidget* Parent = nullptr);

  QLabel* PromptLabel;
  QLineEdit* NameEdit;
  QPushButton* OkButton;  // OK, the default button

  // Number of the next automatic name; after 255 it wraps to 0.
  uint8_t NameCounter = 1;

  void FormCreate();
  // Runs when the dialog closes with OK or Enter: fills in an automatic name
  // when the box is empty.
  void FormHide();

  // Every way of closing (OK, Enter, Escape, the close button) ends here;
  // Escape and the close button reject the dialog, which adds nothing.
  void done(int Result) override;
};
