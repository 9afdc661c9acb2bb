// SPDX-License-Identifier: GPL-3.0-or-later
// Options, Create Figure Type, View ReadMe File, Keyboard Shortcuts, About.

#include "editor/WindowsController.h"

#include <QDir>
#include <QFileInfo>
#include <QPushButton>

#include "builder/FigureBuilderUnit.h"
#include "editor/AboutUnit.h"
#include "editor/MainControls.h"
#include "editor/OptionsUnit.h"
#include "editor/ShortcutsUnit.h"
#include "platform/Dialogs.h"
#include "platform/ProgramPaths.h"
#include "platform/Shell.h"

TWindowsController::TWindowsController(TMainControls& Ui, const TWiring& Wiring, TShell& Shell,
                                       TFigureBuilderForm& Builder, TOptionsForm& Dimensions, TAboutBox& About)
    : QObject(Wiring.Parent()), Wiring(Wiring), Shell(Shell), Builder(Builder), Dimensions(Dimensions), About(About) {
  Wiring.Connect(Ui.OptionsAction, this, &TWindowsController::OptionsClick);
  Wiring.Connect(Ui.OptionsHotkey, this, &TWindowsController::OptionsClick);
  Wiring.Connect(Ui.CreateFigureTypeAction, this, &TWindowsController::CreateFigureTypeClick);
  Wiring.Connect(Ui.CreateFigureTypeHotkey, this, &TWindowsController::CreateFigureTypeClick);
  Wiring.Connect(Ui.ViewReadMeAction, this, &TWindowsController::ViewReadMeClick);
  Wiring.Connect(Ui.KeyboardShortcutsAction, this, &TWindowsController::KeyboardShortcutsClick);
  Wiring.Connect(Ui.AboutAction, this, &TWindowsController::AboutClick);
}

void TWindowsController::OptionsClick() {
  Dimensions.show();
  Dimensions.raise();
  Dimensions.activateWindow();
}

void TWindowsController::CreateFigureTypeClick() {
  // The builder shows as it was left.
  Builder.ShowInFront();
}

void TWindowsController::ViewReadMeClick() {
  const QString path = ReadMeFilePath();
  if (!QFileInfo(path).isFile()) {
    Wiring.Dialogs().ShowMessage(Wiring.Parent(), QStringLiteral("ReadMe file not found in executable folder"));
    return;
  }
  if (!Shell.OpenDocument(Wiring.Parent(), path))
    Wiring.Dialogs().ShowMessage(Wiring.Parent(),
                                 QStringLiteral("No program on this computer could show the ReadMe file. You can "
                                                "open it in any text editor; it is at %1")
                                     .arg(QDir::toNativeSeparators(path)));
}

void TWindowsController::KeyboardShortcutsClick() {
  if (ShortcutsForm == nullptr) ShortcutsForm = new TShortcutsForm(Wiring.Parent());
  ShortcutsForm->show();
  ShortcutsForm->raise();
  ShortcutsForm->activateWindow();
}

void TWindowsController::AboutClick() { Wiring.Dialogs().ExecModal(About); }
