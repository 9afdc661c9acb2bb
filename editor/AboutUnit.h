// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The About box: the program's version and release date. Created once and
// shown modally.

#include <QDialog>

class QFrame;
class QLabel;
class QPushButton;

class TAboutBox : public QDialog {
  Q_OBJECT
 public:
  explicit TAboutBox(QWidget* Parent = nullptr);

  // The version and release date the program was built as.
  static QString Version();
  static QString ReleaseDate();

  QFrame* LabelPanel;  // bevelled panel around the labels
  QLabel* ProductName;
  QLabel* VersionLabel;
  QLabel* ReleaseLabel;
  QPushButton* OKButton;  // the default button; closes the box
};
