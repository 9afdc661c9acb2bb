// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's menu bar and the labels of its status bar. The menu
// titles' underlined letters are ones no button's Alt key takes: Alt+F is
// Front's, so File opens with Alt+I; every letter of Options belongs to a
// button, so it has none (Alt+R, its hotkey, opens it).

#include <QAction>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>

#include "editor/MainControls.h"

namespace {

QAction* Item(QMenu* Menu, const char* Caption, const QList<QKeySequence>& Keys = {}) {
  QAction* action = Menu->addAction(QLatin1String(Caption));
  action->setShortcuts(Keys);
  return action;
}

QAction* CheckItem(QMenu* Menu, const char* Caption, const QList<QKeySequence>& Keys = {}) {
  QAction* action = Item(Menu, Caption, Keys);
  action->setCheckable(true);
  return action;
}

void BuildFileMenu(QMenuBar* Menus, TMainControls& Ui) {
  QMenu* file = Menus->addMenu("F&ile");
  Ui.NewAction = Item(file, "&New", {QKeySequence(Qt::CTRL | Qt::Key_N)});
  Ui.OpenAnimationAction = Item(file, "Open Animation", {QKeySequence(Qt::CTRL | Qt::Key_O)});
  Ui.SaveAction = Item(file, "Save", {QKeySequence(Qt::CTRL | Qt::Key_S)});
  Ui.SaveAnimationAction = Item(file, "Save Animation", {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S)});
  file->addSeparator();
  Ui.LoadBackgroundAction = Item(file, "Load Background");
  Ui.ClearBackgroundAction = Item(file, "Clear Background");
  Ui.ClearBackgroundAction->setEnabled(false);
  file->addSeparator();
  Ui.LoadFigureAction = Item(file, "Load Figure Type");
  Ui.CreateFigureTypeAction = Item(file, "Create Figure Type");
  file->addSeparator();
  Ui.ExitAction = Item(file, "Exit", {QKeySequence(Qt::CTRL | Qt::Key_Q)});
}

void BuildEditMenu(QMenuBar* Menus, TMainControls& Ui) {
  // Undo and Redo of the animation, captioned with the step they take.
  QMenu* edit = Menus->addMenu("Edit");
  Ui.UndoAction = Item(edit, "&Undo", {QKeySequence(Qt::CTRL | Qt::Key_Z)});
  Ui.UndoAction->setEnabled(false);
  Ui.RedoAction =
      Item(edit, "&Redo", {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
  Ui.RedoAction->setEnabled(false);
  edit->addSeparator();
  // The selected figures on the system's clipboard. A text or number field
  // with the focus keeps these keys for its own text.
  Ui.CutAction = Item(edit, "Cu&t", {QKeySequence(Qt::CTRL | Qt::Key_X)});
  Ui.CopyAction = Item(edit, "&Copy", {QKeySequence(Qt::CTRL | Qt::Key_C)});
  Ui.PasteAction = Item(edit, "&Paste", {QKeySequence(Qt::CTRL | Qt::Key_V)});
  Ui.DuplicateAction = Item(edit, "&Duplicate", {QKeySequence(Qt::CTRL | Qt::Key_D)});
  Ui.PasteIntoFramesAction = Item(edit, "Paste &Into Frames...");
  edit->addSeparator();
  // Plain keys, as the Go menu's: a text or number field with the focus takes them first.
  Ui.InverseKinematicsAction = CheckItem(edit, "Inverse Kinematics", {QKeySequence(Qt::Key_I)});
  Ui.PinJointAction = Item(edit, "Pin Joint", {QKeySequence(Qt::Key_P)});
  Ui.JointMenu = new QMenu(edit);
  Ui.JointMenu->addAction(Ui.PinJointAction);
  for (QAction* action :
       {Ui.UndoAction, Ui.RedoAction, Ui.CutAction, Ui.CopyAction, Ui.PasteAction, Ui.DuplicateAction})
    action->setShortcutContext(Qt::WindowShortcut);
}

void BuildViewMenu(QMenuBar* Menus, TMainControls& Ui) {
  QMenu* view = Menus->addMenu("Vie&w");  // Alt+V is Load Background's
  Ui.ShowOnionSkinAction = CheckItem(view, "Show Onion Skin", {QKeySequence(Qt::CTRL | Qt::Key_K)});
  Ui.OnionSkinAction = Item(view, "Onion Skin...", {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_K)});
  Ui.SmoothLinesAction = CheckItem(view, "Smooth Lines");
  view->addSeparator();
  Ui.ZoomInAction =
      Item(view, "Zoom In", {QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal)});
  Ui.ZoomOutAction = Item(view, "Zoom Out", {QKeySequence(Qt::CTRL | Qt::Key_Minus)});
  Ui.ActualSizeAction = Item(view, "Actual Size", {QKeySequence(Qt::CTRL | Qt::Key_0)});
  Ui.FitToWindowAction = Item(view, "Fit to Window");
  for (QAction* action : {Ui.ZoomInAction, Ui.ZoomOutAction, Ui.ActualSizeAction, Ui.FitToWindowAction})
    action->setShortcutContext(Qt::WindowShortcut);
}

void BuildGoMenu(QMenuBar* Menus, TMainControls& Ui) {
  // Plain keys, as a thumbnail click: a text or number field with the focus
  // takes them first (the toolkit gives typing precedence over shortcuts).
  QMenu* go = Menus->addMenu(QStringLiteral("&Go"));
  Ui.PreviousFrameAction = Item(go, "Previous Frame", {QKeySequence(Qt::Key_Comma)});
  Ui.FollowingFrameAction = Item(go, "Following Frame", {QKeySequence(Qt::Key_Period)});
  Ui.FirstFrameAction = Item(go, "First Frame", {QKeySequence(Qt::Key_Home)});
  Ui.NewFrameAction = Item(go, "New Frame", {QKeySequence(Qt::Key_End)});
  go->addSeparator();
  Ui.HoldLongerAction = Item(go, "Hold Longer", {QKeySequence(Qt::Key_BracketRight)});
  Ui.HoldShorterAction = Item(go, "Hold Shorter", {QKeySequence(Qt::Key_BracketLeft)});
  go->addSeparator();
  Ui.StoreEditsAction = CheckItem(go, "Store edits when leaving a frame");
}

void BuildHelpMenu(QMenuBar* Menus, TMainControls& Ui) {
  QMenu* help = Menus->addMenu("&Help");
  Ui.ViewReadMeAction = Item(help, "View ReadMe File");
  Ui.KeyboardShortcutsAction = Item(help, "Keyboard Shortcuts", {QKeySequence(Qt::Key_F1)});
  Ui.AboutAction = Item(help, "About");
}

}  // namespace

void BuildMainMenus(QMainWindow& Window, TMainControls& Ui) {
  QMenuBar* menus = Window.menuBar();
  BuildFileMenu(menus, Ui);
  BuildEditMenu(menus, Ui);
  BuildViewMenu(menus, Ui);
  BuildGoMenu(menus, Ui);
  // "Options" acts when clicked on the menu bar itself.
  Ui.OptionsAction = menus->addAction("Options");
  BuildHelpMenu(menus, Ui);
  Ui.StatusBar = Window.statusBar();
  Ui.ZoomLabel = new QLabel(&Window);
  Ui.StatusBar->addPermanentWidget(Ui.ZoomLabel);
  Ui.FramePositionLabel = new QLabel(&Window);
  Ui.StatusBar->addPermanentWidget(Ui.FramePositionLabel);
}
