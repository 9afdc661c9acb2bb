// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The Stick Figure Builder's controls, named by role and kind. The window
// builds them (FigureBuilderUnit.cpp) and reaches them as Ui; tests reach
// them through TFigureBuilderForm::Controls() or by their object names.

class QAction;
class QFrame;
class QLabel;
class QMenu;
class QPushButton;
class QToolButton;
class TPictureBox;
class TUpDown;

struct TBuilderControls {
  QFrame* ToolPanel = nullptr;  // tool column
  QToolButton* LineButton = nullptr;
  QToolButton* CircleButton = nullptr;
  QToolButton* ChangeKindButton = nullptr;
  TUpDown* ThicknessUpDown = nullptr;  // thickness of the selected segment, 0..100
  QToolButton* DuplicateButton = nullptr;
  QToolButton* ChangeStaticButton = nullptr;
  QToolButton* DeleteButton = nullptr;
  TPictureBox* FigureImage = nullptr;  // drawing area
  QFrame* StatusPanel = nullptr;       // status bar
  QLabel* StatusLabel = nullptr;       // status text
  // Always enabled hotkey buttons, placed outside the tool column's visible
  // area, so each Alt+letter works also while its visible button is disabled.
  QPushButton* LineHotkey = nullptr;
  QPushButton* CircleHotkey = nullptr;
  QPushButton* ChangeKindHotkey = nullptr;
  QPushButton* DuplicateHotkey = nullptr;
  QPushButton* ChangeStaticHotkey = nullptr;
  QPushButton* DeleteHotkey = nullptr;
  QPushButton* EditModeHotkey = nullptr;
  QPushButton* NewHotkey = nullptr;
  QPushButton* OpenHotkey = nullptr;
  QPushButton* SaveHotkey = nullptr;
  QPushButton* SaveAsHotkey = nullptr;
  QPushButton* AddToAnimationHotkey = nullptr;
  // Menus.
  QMenu* FileMenu = nullptr;
  QMenu* OptionsMenu = nullptr;
  QAction* NewAction = nullptr;
  QAction* OpenAction = nullptr;
  QAction* SaveAction = nullptr;
  QAction* SaveAsAction = nullptr;
  QAction* AddToAnimationAction = nullptr;
  QAction* ExitAction = nullptr;
  QAction* UndoAction = nullptr;
  QAction* EditModeAction = nullptr;
};
