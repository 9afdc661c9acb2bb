// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The main window's controls, named by role and kind. BuildMainControls
// makes them at their design places, with the menus and the status bar;
// the window and its controllers reach them as Ui, tests through
// TMainForm::Controls() or by their object names. Nothing here acts: the
// controllers connect the controls to their handlers.

#include <array>

#include "model/FigureUnit.h"

class QAbstractScrollArea;
class QAction;
class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QMainWindow;
class QMenu;
class QPushButton;
class QScrollArea;
class QScrollBar;
class QSpinBox;
class QStatusBar;
class QTimer;
class QToolButton;
class QWidget;
class TPictureBox;
class TTimelineStrip;

struct TMainControls {
  QAbstractScrollArea* TimelineScrollBox = nullptr;  // scrolls the thumbnail strip
  TTimelineStrip* TimelineImages = nullptr;          // one thumbnail per stored frame
  QFrame* FrameMarker = nullptr;                     // marker around the thumbnail under edit
  QFrame* ToolPanel = nullptr;                       // the tool column
  QGroupBox* PlaybackGroupBox = nullptr;
  QToolButton* PlayButton = nullptr;
  QToolButton* StopButton = nullptr;
  QCheckBox* RepeatCheckBox = nullptr;
  QScrollBar* RateScrollBar = nullptr;
  QComboBox* FigureComboBox = nullptr;
  QPushButton* AddFigureButton = nullptr;
  QGroupBox* FigureGroupBox = nullptr;
  QPushButton* DeleteFigureButton = nullptr;
  QPushButton* EditTypeButton = nullptr;
  QPushButton* CenterButton = nullptr;
  QPushButton* FlipButton = nullptr;
  QPushButton* ColorButton = nullptr;
  QSpinBox* ScaleSpinEdit = nullptr;
  QPushButton* FrontButton = nullptr;
  QPushButton* BackButton = nullptr;
  // Hidden hotkey buttons, outside FigureGroupBox's visible area.
  QPushButton* SaveAnimationHotkey = nullptr;
  QPushButton* LoadBackgroundHotkey = nullptr;
  QPushButton* LoadFigureHotkey = nullptr;
  QPushButton* CreateFigureTypeHotkey = nullptr;
  QPushButton* OptionsHotkey = nullptr;
  QPushButton* OpenAnimationHotkey = nullptr;
  QPushButton* NextFrameButton = nullptr;
  QScrollArea* DrawingScrollBox = nullptr;  // holds the drawing area
  TPictureBox* EditImage = nullptr;         // the drawing area
  QTimer* PlaybackTimer = nullptr;
  QMenu* FrameMenu = nullptr;  // on every thumbnail
  QAction* InsertFrameAction = nullptr;
  QAction* DeleteFrameAction = nullptr;
  QAction* TweenAction = nullptr;  // in-between frames up to the next frame
  QAction* HoldAction = nullptr;   // the hold of the frames under the menu
  QAction* CopyFrameAction = nullptr;
  QAction* PasteFrameAfterAction = nullptr;
  QAction* DuplicateFrameAction = nullptr;
  QAction* FramePasteIntoFramesAction = nullptr;
  // Menu entries.
  QAction* NewAction = nullptr;
  QAction* OpenAnimationAction = nullptr;
  QAction* SaveAction = nullptr;
  QAction* SaveAnimationAction = nullptr;
  QAction* LoadBackgroundAction = nullptr;
  QAction* ClearBackgroundAction = nullptr;
  QAction* LoadFigureAction = nullptr;
  QAction* CreateFigureTypeAction = nullptr;
  QAction* ExitAction = nullptr;
  QAction* UndoAction = nullptr;
  QAction* RedoAction = nullptr;
  QAction* CutAction = nullptr;
  QAction* CopyAction = nullptr;
  QAction* PasteAction = nullptr;
  QAction* DuplicateAction = nullptr;
  QAction* PasteIntoFramesAction = nullptr;
  QAction* InverseKinematicsAction = nullptr;  // a drag puts the joint at the pointer
  QAction* PinJointAction = nullptr;           // the joint last pressed stays where it is
  QMenu* JointMenu = nullptr;                  // on a joint's handle
  QAction* OptionsAction = nullptr;
  QAction* ViewReadMeAction = nullptr;
  QAction* AboutAction = nullptr;
  QAction* KeyboardShortcutsAction = nullptr;
  QAction* ShowOnionSkinAction = nullptr;
  QAction* OnionSkinAction = nullptr;
  QAction* PreviousFrameAction = nullptr;
  QAction* FollowingFrameAction = nullptr;
  QAction* FirstFrameAction = nullptr;
  QAction* NewFrameAction = nullptr;
  QAction* HoldLongerAction = nullptr;   // the frame under edit held a tick longer, "]"
  QAction* HoldShorterAction = nullptr;  // and a tick shorter, "["
  QAction* StoreEditsAction = nullptr;
  QAction* SmoothLinesAction = nullptr;
  QAction* ZoomInAction = nullptr;
  QAction* ZoomOutAction = nullptr;
  QAction* ActualSizeAction = nullptr;
  QAction* FitToWindowAction = nullptr;
  // The status bar, and in it which frame is under edit and the zoom.
  QStatusBar* StatusBar = nullptr;
  QLabel* FramePositionLabel = nullptr;
  QLabel* ZoomLabel = nullptr;

  // True while the stored frames play on the drawing area.
  bool Playing() const;
  // How every drawing of the figures draws their lines: the View menu's Smooth Lines.
  TLineStyle Lines() const;
  // The eight controls that act on the selected figure.
  std::array<QWidget*, 8> FigureControls() const;
};

// Makes Window's controls, menus and status bar at their design places.
void BuildMainControls(QMainWindow& Window, TMainControls& Ui);
// The menu bar's menus and entries (MainMenus.cpp).
void BuildMainMenus(QMainWindow& Window, TMainControls& Ui);
