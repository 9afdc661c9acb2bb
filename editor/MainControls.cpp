// SPDX-License-Identifier: GPL-3.0-or-later
// Building the main window's controls at their design positions, its menu,
// and connecting every control to its handler.

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QCursor>
#include <QGroupBox>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPolygon>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QToolButton>
#include <QToolTip>

#include "editor/MainHotkeys.h"
#include "editor/MainUnit.h"
#include "editor/ShortcutsUnit.h"
#include "editor/TimelineStrip.h"
#include "model/Common.h"
#include "platform/PictureBox.h"

namespace {

// The small black pictures of the Play and Stop buttons; the toolkit greys
// them for the disabled look.
QIcon PlayIcon() {
  QPixmap pixmap(12, 12);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setPen(Qt::NoPen);
  p.setBrush(Qt::black);
  p.drawPolygon(QPolygon({QPoint(3, 1), QPoint(10, 6), QPoint(3, 11)}));
  return QIcon(pixmap);
}

QIcon StopIcon() {
  QPixmap pixmap(12, 12);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.fillRect(QRect(2, 2, 8, 8), Qt::black);
  return QIcon(pixmap);
}

QToolButton* PictureButton(QWidget* Parent, const QString& Caption, const QIcon& Icon, const QString& Hint,
                           QRect Geometry) {
  auto* button = new QToolButton(Parent);
  button->setText(Caption);
  button->setIcon(Icon);
  button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  button->setAutoRaise(true);
  button->setToolTip(Hint);
  button->setGeometry(Geometry);
  return button;
}

QPushButton* Button(QWidget* Parent, const QString& Caption, QRect Geometry) {
  auto* button = new QPushButton(Caption, Parent);
  button->setGeometry(Geometry);
  button->setAutoDefault(false);
  return button;
}

// A button that cannot be seen or clicked but answers its Alt+letter hotkey.
QPushButton* HotkeyButton(QWidget* Parent, const QString& Caption) {
  QPushButton* button = Button(Parent, Caption, QRect(1000, 1000, 1000, 0));
  button->setFocusPolicy(Qt::NoFocus);
  return button;
}

}  // namespace

// NOLINTNEXTLINE(readability-function-size): listed in .clang-tidy
void TMainForm::CreateControls() {
  auto* client = new QWidget(this);
  setCentralWidget(client);

  Ui.TimelineScrollBox = new QAbstractScrollArea(client);
  Ui.TimelineScrollBox->setGeometry(8, 0, 641, 81);
  Ui.TimelineScrollBox->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  Ui.TimelineScrollBox->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  Ui.TimelineImages = new TTimelineStrip(Ui.TimelineScrollBox, [this](int Index, TThumbnailMaking How) {
    const std::vector<TFigures>& frames = Animation().Frames;
    return Index < static_cast<int>(frames.size()) ? MakeThumbnail(frames[static_cast<std::size_t>(Index)], How)
                                                   : QImage();
  });
  Ui.FrameMarker = new QFrame(Ui.TimelineImages);
  Ui.FrameMarker->setFrameStyle(QFrame::Panel | QFrame::Raised);
  Ui.FrameMarker->setAttribute(Qt::WA_TransparentForMouseEvents);
  Ui.FrameMarker->hide();

  Ui.ToolPanel = new QFrame(client);
  Ui.ToolPanel->setGeometry(8, 88, 121, 425);
  Ui.ToolPanel->setFrameStyle(QFrame::Panel | QFrame::Raised);

  Ui.PlaybackGroupBox = new QGroupBox(Ui.ToolPanel);
  Ui.PlaybackGroupBox->setGeometry(8, 8, 105, 113);
  Ui.PlayButton = PictureButton(Ui.PlaybackGroupBox, "&Play", PlayIcon(), "play animation", QRect(13, 16, 57, 22));
  Ui.StopButton = PictureButton(Ui.PlaybackGroupBox, "&Stop", StopIcon(), "stop animation", QRect(13, 48, 57, 22));
  Ui.RepeatCheckBox = new QCheckBox("Repeat", Ui.PlaybackGroupBox);
  Ui.RepeatCheckBox->setGeometry(13, 80, 57, 17);
  Ui.RepeatCheckBox->setChecked(true);
  Ui.RateScrollBar = new QScrollBar(Qt::Vertical, Ui.PlaybackGroupBox);
  Ui.RateScrollBar->setGeometry(80, 16, 17, 89);
  Ui.RateScrollBar->setRange(1, 100);
  Ui.RateScrollBar->setValue(50);
  Ui.RateScrollBar->setToolTip("frame rate");

  Ui.FigureComboBox = new QComboBox(Ui.ToolPanel);
  Ui.FigureComboBox->setGeometry(8, 136, 105, Ui.FigureComboBox->sizeHint().height());
  Ui.FigureComboBox->setEditable(true);
  Ui.FigureComboBox->setInsertPolicy(QComboBox::NoInsert);
  Ui.FigureComboBox->setToolTip("figure types");
  Ui.FigureComboBox->addItem("Stickman");
  Ui.FigureComboBox->setCurrentIndex(0);

  Ui.AddFigureButton = Button(Ui.ToolPanel, "&Add Figure", QRect(21, 160, 75, 25));

  Ui.FigureGroupBox = new QGroupBox("Current Figure", Ui.ToolPanel);
  Ui.FigureGroupBox->setGeometry(8, 200, 105, 161);
  Ui.DeleteFigureButton = Button(Ui.FigureGroupBox, "&Delete", QRect(6, 24, 43, 25));
  Ui.EditTypeButton = Button(Ui.FigureGroupBox, "&Edit", QRect(54, 24, 43, 25));
  Ui.CenterButton = Button(Ui.FigureGroupBox, "&Center", QRect(6, 56, 43, 25));
  Ui.FlipButton = Button(Ui.FigureGroupBox, "F&lip", QRect(54, 56, 43, 25));
  Ui.ColorButton = Button(Ui.FigureGroupBox, "Colour", QRect(6, 88, 43, 25));
  Ui.ScaleSpinEdit = new QSpinBox(Ui.FigureGroupBox);
  Ui.ScaleSpinEdit->setGeometry(54, 90, 45, 22);
  Ui.ScaleSpinEdit->setRange(0, 100000);
  Ui.ScaleSpinEdit->setSingleStep(1);
  Ui.ScaleSpinEdit->setValue(100);
  Ui.ScaleSpinEdit->setToolTip("Scale");
  // An emptied edit that loses the focus shows the scale it had, rather than
  // its minimum, which would collapse the figure onto its root.
  Ui.ScaleSpinEdit->setCorrectionMode(QAbstractSpinBox::CorrectToPreviousValue);
  Ui.ScaleSpinEdit->setButtonSymbols(QAbstractSpinBox::UpDownArrows);
  Ui.FrontButton = Button(Ui.FigureGroupBox, "&Front", QRect(6, 120, 43, 25));
  Ui.BackButton = Button(Ui.FigureGroupBox, "&Back", QRect(54, 120, 43, 25));
  Ui.SaveAnimationHotkey = HotkeyButton(Ui.FigureGroupBox, "&K");
  Ui.LoadBackgroundHotkey = HotkeyButton(Ui.FigureGroupBox, "&V");
  Ui.LoadFigureHotkey = HotkeyButton(Ui.FigureGroupBox, "&M");
  Ui.CreateFigureTypeHotkey = HotkeyButton(Ui.FigureGroupBox, "&T");
  Ui.OptionsHotkey = HotkeyButton(Ui.FigureGroupBox, "&R");
  Ui.OpenAnimationHotkey = HotkeyButton(Ui.FigureGroupBox, "&O");

  Ui.NextFrameButton = Button(Ui.ToolPanel, "&Next Frame", QRect(24, 376, 75, 33));

  Ui.DrawingScrollBox = new QScrollArea(client);
  Ui.DrawingScrollBox->setGeometry(136, 88, 513, 425);
  auto* canvasHolder = new QWidget;
  Ui.DrawingScrollBox->setWidget(canvasHolder);
  Ui.EditImage = new TPictureBox(canvasHolder);
  Ui.EditImage->setObjectName("EditImage");
  Ui.EditImage->setGeometry(2, 2, 506, 415);

  Ui.PlaybackTimer = new QTimer(this);
  Ui.PlaybackTimer->setTimerType(Qt::PreciseTimer);
  Ui.PlaybackTimer->setInterval(50);

  Ui.FrameMenu = new QMenu(this);
  Ui.InsertFrameAction = Ui.FrameMenu->addAction("Insert");
  Ui.DeleteFrameAction = Ui.FrameMenu->addAction("Delete");
  Ui.TweenAction = Ui.FrameMenu->addAction("&Tween...");
  Ui.FrameMenu->addSeparator();
  Ui.CopyFrameAction = Ui.FrameMenu->addAction("Copy Frame");
  Ui.PasteFrameAfterAction = Ui.FrameMenu->addAction("Paste Frame After");
  Ui.DuplicateFrameAction = Ui.FrameMenu->addAction("Duplicate Frame");
  Ui.FramePasteIntoFramesAction = Ui.FrameMenu->addAction("Paste Into Frames...");
}

// NOLINTNEXTLINE(readability-function-size): listed in .clang-tidy
void TMainForm::CreateMenu() {
  QMenuBar* menus = menuBar();
  // The menu titles' underlined letters are ones no button's Alt key takes:
  // Alt+F is Front's, so File opens with Alt+I; every letter of Options
  // belongs to a button, so it has none (Alt+R, its hotkey, opens it).
  QMenu* file = menus->addMenu("F&ile");
  Ui.NewAction = file->addAction("&New");
  Ui.NewAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
  Ui.OpenAnimationAction = file->addAction("Open Animation");
  Ui.OpenAnimationAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
  Ui.SaveAction = file->addAction("Save");
  Ui.SaveAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
  Ui.SaveAnimationAction = file->addAction("Save Animation");
  Ui.SaveAnimationAction->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
  file->addSeparator();
  Ui.LoadBackgroundAction = file->addAction("Load Background");
  Ui.ClearBackgroundAction = file->addAction("Clear Background");
  Ui.ClearBackgroundAction->setEnabled(false);
  file->addSeparator();
  Ui.LoadFigureAction = file->addAction("Load Figure Type");
  Ui.CreateFigureTypeAction = file->addAction("Create Figure Type");
  file->addSeparator();
  Ui.ExitAction = file->addAction("Exit");
  Ui.ExitAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
  // Undo and Redo of the animation, captioned with the step they take.
  QMenu* edit = menus->addMenu("Edit");
  Ui.UndoAction = edit->addAction("&Undo");
  Ui.UndoAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
  Ui.UndoAction->setEnabled(false);
  Ui.RedoAction = edit->addAction("&Redo");
  Ui.RedoAction->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
  Ui.RedoAction->setEnabled(false);
  edit->addSeparator();
  // The selected figures on the system's clipboard. A text or number field
  // with the focus keeps these keys for its own text.
  Ui.CutAction = edit->addAction("Cu&t");
  Ui.CutAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_X));
  Ui.CopyAction = edit->addAction("&Copy");
  Ui.CopyAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_C));
  Ui.PasteAction = edit->addAction("&Paste");
  Ui.PasteAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_V));
  Ui.DuplicateAction = edit->addAction("&Duplicate");
  Ui.DuplicateAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_D));
  Ui.PasteIntoFramesAction = edit->addAction("Paste &Into Frames...");
  for (QAction* action :
       {Ui.UndoAction, Ui.RedoAction, Ui.CutAction, Ui.CopyAction, Ui.PasteAction, Ui.DuplicateAction})
    action->setShortcutContext(Qt::WindowShortcut);
  QMenu* view = menus->addMenu("Vie&w");  // Alt+V is Load Background's
  Ui.ShowOnionSkinAction = view->addAction("Show Onion Skin");
  Ui.ShowOnionSkinAction->setCheckable(true);
  Ui.ShowOnionSkinAction->setChecked(OnionSkin.Shown);
  Ui.ShowOnionSkinAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_K));
  Ui.OnionSkinAction = view->addAction("Onion Skin...");
  Ui.OnionSkinAction->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_K));
  CreateSmoothLinesItem(view);
  CreateZoomItems(view);
  CreateGoMenu(menus);
  // "Options" acts when clicked on the menu bar itself.
  Ui.OptionsAction = menus->addAction("Options");
  QMenu* help = menus->addMenu("&Help");
  Ui.ViewReadMeAction = help->addAction("View ReadMe File");
  Ui.KeyboardShortcutsAction = help->addAction("Keyboard Shortcuts");
  Ui.KeyboardShortcutsAction->setShortcut(QKeySequence(Qt::Key_F1));
  Ui.AboutAction = help->addAction("About");
}

void TMainForm::DescribeControls() {
  // Each control's tooltip and each menu item's key come from the one table
  // the Keyboard Shortcuts window shows too.
  const std::pair<QWidget*, const char*> controls[] = {
      {Ui.PlayButton, "play animation"},   {Ui.StopButton, "stop animation"},
      {Ui.RepeatCheckBox, "Repeat"},       {Ui.RateScrollBar, "frame rate"},
      {Ui.FigureComboBox, "figure types"}, {Ui.AddFigureButton, "Add Figure"},
      {Ui.DeleteFigureButton, "Delete"},   {Ui.EditTypeButton, "Edit"},
      {Ui.CenterButton, "Center"},         {Ui.FlipButton, "Flip"},
      {Ui.ColorButton, "Colour"},          {Ui.ScaleSpinEdit, "Scale"},
      {Ui.FrontButton, "Front"},           {Ui.BackButton, "Back"},
      {Ui.NextFrameButton, "Next Frame"}};
  for (const auto& [control, hint] : controls) control->setToolTip(HotkeyTip(MainHotkey(QLatin1String(hint))));
  // Shown in the menu; the hotkey button does the work, so the key counts
  // only while the menu itself has the focus.
  const std::pair<QAction*, const char*> items[] = {
      {Ui.LoadBackgroundAction, "Alt+V"}, {Ui.LoadFigureAction, "Alt+M"}, {Ui.CreateFigureTypeAction, "Alt+T"}};
  for (const auto& [item, keys] : items) {
    item->setShortcut(QKeySequence(QLatin1String(keys)));
    item->setShortcutContext(Qt::WidgetShortcut);
  }
}

// NOLINTNEXTLINE(readability-function-size): listed in .clang-tidy
void TMainForm::ConnectHandlers() {
  // Every handler runs through the general error report.
  auto handler = [this](void (TMainForm::*Method)()) {
    return [this, Method] { Guard([this, Method] { (this->*Method)(); }); };
  };
  auto click = [&](QAbstractButton* Button, void (TMainForm::*Method)()) {
    connect(Button, &QAbstractButton::clicked, this, handler(Method));
  };
  auto menu = [&](QAction* Action, void (TMainForm::*Method)()) {
    connect(Action, &QAction::triggered, this, handler(Method));
  };

  click(Ui.PlayButton, &TMainForm::PlayButtonClick);
  click(Ui.StopButton, &TMainForm::StopButtonClick);
  click(Ui.AddFigureButton, &TMainForm::AddFigureButtonClick);
  click(Ui.DeleteFigureButton, &TMainForm::DeleteFigureButtonClick);
  click(Ui.EditTypeButton, &TMainForm::EditTypeButtonClick);
  click(Ui.CenterButton, &TMainForm::CenterButtonClick);
  click(Ui.FlipButton, &TMainForm::FlipButtonClick);
  click(Ui.ColorButton, &TMainForm::ColorButtonClick);
  click(Ui.FrontButton, &TMainForm::FrontButtonClick);
  click(Ui.BackButton, &TMainForm::BackButtonClick);
  click(Ui.NextFrameButton, &TMainForm::NextFrameButtonClick);
  click(Ui.SaveAnimationHotkey, &TMainForm::SaveAnimationClick);
  click(Ui.LoadBackgroundHotkey, &TMainForm::LoadBackgroundClick);
  click(Ui.LoadFigureHotkey, &TMainForm::LoadFigureClick);
  click(Ui.CreateFigureTypeHotkey, &TMainForm::CreateFigureTypeClick);
  click(Ui.OptionsHotkey, &TMainForm::OptionsClick);
  click(Ui.OpenAnimationHotkey, &TMainForm::OpenAnimationClick);

  connect(Ui.ScaleSpinEdit, &QSpinBox::valueChanged, this, handler(&TMainForm::ScaleSpinEditChange));
  // What is typed into the scale field until Return or leaving it is one step.
  connect(Ui.ScaleSpinEdit, &QSpinBox::editingFinished, &Doc, &TDocument::EndGesture);
  connect(Ui.RateScrollBar, &QScrollBar::valueChanged, this, handler(&TMainForm::RateScrollBarChange));
  // While the rate is dragged, the rate it sets shows beside the mouse.
  connect(Ui.RateScrollBar, &QScrollBar::sliderMoved, this,
          [this](int Value) { QToolTip::showText(QCursor::pos(), RateText(Value), Ui.RateScrollBar); });
  connect(Ui.PlaybackTimer, &QTimer::timeout, this, handler(&TMainForm::PlaybackTimerTick));

  connect(Ui.EditImage, &TPictureBox::MouseDown, this,
          [this](Qt::MouseButton Button, Qt::KeyboardModifiers Shift, double X, double Y) {
            Guard([&] { EditImageMouseDown(Button, Shift, X, Y); });
          });
  connect(Ui.EditImage, &TPictureBox::MouseMove, this,
          [this](Qt::KeyboardModifiers Shift, double X, double Y) { Guard([&] { EditImageMouseMove(Shift, X, Y); }); });
  connect(Ui.EditImage, &TPictureBox::MouseUp, this,
          [this](Qt::MouseButton Button, Qt::KeyboardModifiers Shift, double X, double Y) {
            Guard([&] { EditImageMouseUp(Button, Shift, X, Y); });
          });

  menu(Ui.InsertFrameAction, &TMainForm::InsertFrameClick);
  menu(Ui.DeleteFrameAction, &TMainForm::DeleteFrameClick);
  menu(Ui.TweenAction, &TMainForm::TweenClick);
  menu(Ui.CopyFrameAction, &TMainForm::CopyFrameClick);
  menu(Ui.PasteFrameAfterAction, &TMainForm::PasteFrameAfterClick);
  menu(Ui.DuplicateFrameAction, &TMainForm::DuplicateFrameClick);
  menu(Ui.FramePasteIntoFramesAction, &TMainForm::FramePasteIntoFramesClick);
  menu(Ui.CutAction, &TMainForm::CutClick);
  menu(Ui.CopyAction, &TMainForm::CopyClick);
  menu(Ui.PasteAction, &TMainForm::PasteClick);
  menu(Ui.DuplicateAction, &TMainForm::DuplicateClick);
  menu(Ui.PasteIntoFramesAction, &TMainForm::PasteIntoFramesClick);
  connect(Ui.TimelineImages, &TTimelineStrip::Clicked, this, [this](int Index) { Guard([&] { FrameClick(Index); }); });
  connect(Ui.TimelineImages, &TTimelineStrip::PopupRequested, this, [this](int Index, const QPoint& GlobalPos) {
    Guard([&] { FramePopup(Index); });
    Ui.FrameMenu->popup(GlobalPos);
  });

  menu(Ui.NewAction, &TMainForm::NewClick);
  menu(Ui.OpenAnimationAction, &TMainForm::OpenAnimationClick);
  menu(Ui.SaveAction, &TMainForm::SaveClick);
  menu(Ui.UndoAction, &TMainForm::UndoClick);
  menu(Ui.RedoAction, &TMainForm::RedoClick);
  menu(Ui.SaveAnimationAction, &TMainForm::SaveAnimationClick);
  menu(Ui.LoadBackgroundAction, &TMainForm::LoadBackgroundClick);
  menu(Ui.ClearBackgroundAction, &TMainForm::ClearBackgroundClick);
  menu(Ui.LoadFigureAction, &TMainForm::LoadFigureClick);
  menu(Ui.CreateFigureTypeAction, &TMainForm::CreateFigureTypeClick);
  menu(Ui.ExitAction, &TMainForm::ExitClick);
  menu(Ui.OptionsAction, &TMainForm::OptionsClick);
  menu(Ui.ViewReadMeAction, &TMainForm::ViewReadMeClick);
  menu(Ui.KeyboardShortcutsAction, &TMainForm::KeyboardShortcutsClick);
  menu(Ui.ShowOnionSkinAction, &TMainForm::ShowOnionSkinClick);
  menu(Ui.OnionSkinAction, &TMainForm::OnionSkinClick);
  menu(Ui.AboutAction, &TMainForm::AboutClick);
}
