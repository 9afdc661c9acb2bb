// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The commands that open the program's other windows: Options (the
// animation's dimensions), Create Figure Type (the Stick Figure Builder as
// it was left), the ReadMe file, Keyboard Shortcuts and About.

#include <QObject>

#include "platform/GuardedHandlers.h"

class TAboutBox;
class TFigureBuilderForm;
class TOptionsForm;
class TShell;
class TShortcutsForm;
struct TMainControls;

class TWindowsController : public QObject {
  Q_OBJECT
 public:
  // The windows are the main window's; Shell opens the ReadMe file.
  TWindowsController(TMainControls& Ui, const TWiring& Wiring, TShell& Shell, TFigureBuilderForm& Builder,
                     TOptionsForm& Dimensions, TAboutBox& About);

  void OptionsClick();
  void CreateFigureTypeClick();
  void ViewReadMeClick();
  // Help, Keyboard Shortcuts: the hotkeys of both windows in a window of their own.
  void KeyboardShortcutsClick();
  void AboutClick();

  // The Keyboard Shortcuts window, once it has been opened.
  TShortcutsForm* GetShortcutsForm() const { return ShortcutsForm; }

 private:
  TWiring Wiring;
  TShell& Shell;
  TFigureBuilderForm& Builder;
  TOptionsForm& Dimensions;
  TAboutBox& About;
  TShortcutsForm* ShortcutsForm = nullptr;
};
