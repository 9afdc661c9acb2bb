// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Onion skin: stored frames shown faintly under the working frame, the
// frames before it in silver and those after it in light blue, lighter with
// distance. The settings are the user's, not the project's.

#include <QDialog>

#include "model/Colors.h"

class QSpinBox;

struct TOnionSkin {
  bool Shown = true;
  int Before = 1;  // frames before the working frame, 0 to 10
  int After = 0;   // frames after it, 0 to 10
  static constexpr int Most = 10;

  // The user's settings (QSettings), or the defaults.
  static TOnionSkin Load();
  void Save() const;
  // The colour of the frame Distance (1 or more) before or after the
  // working frame: the nearest one before is the ghost's silver.
  static TColor Color(bool IsBefore, int Distance);
  friend bool operator==(const TOnionSkin&, const TOnionSkin&) = default;
};

// The "Onion Skin" window: how many frames before and after show.
class TOnionSkinForm : public QDialog {
  Q_OBJECT
 public:
  explicit TOnionSkinForm(QWidget* Parent = nullptr);
  void Show(const TOnionSkin& Settings);
  // The counts the window shows, with Shown as given.
  TOnionSkin Settings(bool Shown) const;
  QSpinBox* BeforeEdit;
  QSpinBox* AfterEdit;
};
