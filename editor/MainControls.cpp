// SPDX-License-Identifier: GPL-3.0-or-later
// Building the main window's controls at their design positions, its menu,
// and connecting every control to its handler.

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
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

#include <QCursor>
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

void TMainForm::CreateControls() {
  auto* client = new QWidget(this);
  setCentralWidget(client);

  TimelineScrollBox = new QAbstractScrollArea(client);
  TimelineScrollBox->setGeometry(8, 0, 641, 81);
  TimelineScrollBox->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  TimelineScrollBox->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  TimelineImages = new TTimelineStrip(TimelineScrollBox, [this](int Index, TThumbnailMaking How) {
    const std::vector<TFigures>& frames = Animation().Frames;
    return Index < static_cast<int>(frames.size()) ? MakeThumbnail(frames[static_cast<std::size_t>(Index)], How)
                                                   : QImage();
  });
  FrameMarker = new QFrame(TimelineImages);
  FrameMarker->setFrameStyle(QFrame::Panel | QFrame::Raised);
  FrameMarker->setAttribute(Qt::WA_TransparentForMouseEvents);
  FrameMarker->hide();

  ToolPanel = new QFrame(client);
  ToolPanel->setGeometry(8, 88, 121, 425);
  ToolPanel->setFrameStyle(QFrame::Panel | QFrame::Raised);

  PlaybackGroupBox = new QGroupBox(ToolPanel);
  PlaybackGroupBox->setGeometry(8, 8, 105, 113);
  PlayButton = PictureButton(PlaybackGroupBox, "&Play", PlayIcon(), "play animation", QRect(13, 16, 57, 22));
  StopButton = PictureButton(PlaybackGroupBox, "&Stop", StopIcon(), "stop animation", QRect(13, 48, 57, 22));
  RepeatCheckBox = new QCheckBox("Repeat", PlaybackGroupBox);
  RepeatCheckBox->setGeometry(13, 80, 57, 17);
  RepeatCheckBox->setChecked(true);
  RateScrollBar = new QScrollBar(Qt::Vertical, PlaybackGroupBox);
  RateScrollBar->setGeometry(80, 16, 17, 89);
  RateScrollBar->setRange(1, 100);
  RateScrollBar->setValue(50);
  RateScrollBar->setToolTip("frame rate");

  FigureComboBox = new QComboBox(ToolPanel);
  FigureComboBox->setGeometry(8, 136, 105, FigureComboBox->sizeHint().height());
  FigureComboBox->setEditable(true);
  FigureComboBox->setInsertPolicy(QComboBox::NoInsert);
  FigureComboBox->setToolTip("figure types");
  FigureComboBox->addItem("Stickman");
  FigureComboBox->setCurrentIndex(0);

  AddFigureButton = Button(ToolPanel, "&Add Figure", QRect(21, 160, 75, 25));

  FigureGroupBox = new QGroupBox("Current Figure", ToolPanel);
  FigureGroupBox->setGeometry(8, 200, 105, 161);
  DeleteFigureButton = Button(FigureGroupBox, "&Delete", QRect(6, 24, 43, 25));
  EditTypeButton = Button(FigureGroupBox, "&Edit", QRect(54, 24, 43, 25));
  CenterButton = Button(FigureGroupBox, "&Center", QRect(6, 56, 43, 25));
  FlipButton = Button(FigureGroupBox, "F&lip", QRect(54, 56, 43, 25));
  ColorButton = Button(FigureGroupBox, "Colour", QRect(6, 88, 43, 25));
  ScaleSpinEdit = new QSpinBox(FigureGroupBox);
  ScaleSpinEdit->setGeometry(54, 90, 45, 22);
  ScaleSpinEdit->setRange(0, 100000);
  ScaleSpinEdit->setSingleStep(1);
  ScaleSpinEdit->setValue(100);
  ScaleSpinEdit->setToolTip("Scale");
  // An emptied edit that loses the focus shows the scale it had, rather than
  // its minimum, which would collapse the figure onto its root.
  ScaleSpinEdit->setCorrectionMode(QAbstractSpinBox::CorrectToPreviousValue);
  ScaleSpinEdit->setButtonSymbols(QAbstractSpinBox::UpDownArrows);
  FrontButton = Button(FigureGroupBox, "&Front", QRect(6, 120, 43, 25));
  BackButton = Button(FigureGroupBox, "&Back", QRect(54, 120, 43, 25));
  SaveAnimationHotkey = HotkeyButton(FigureGroupBox, "&K");
  LoadBackgroundHotkey = HotkeyButton(FigureGroupBox, "&V");
  LoadFigureHotkey = HotkeyButton(FigureGroupBox, "&M");
  CreateFigureTypeHotkey = HotkeyButton(FigureGroupBox, "&T");
  OptionsHotkey = HotkeyButton(FigureGroupBox, "&R");
  OpenAnimationHotkey = HotkeyButton(FigureGroupBox, "&O");

  NextFrameButton = Button(ToolPanel, "&Next Frame", QRect(24, 376, 75, 33));

  DrawingScrollBox = new QScrollArea(client);
  DrawingScrollBox->setGeometry(136, 88, 513, 425);
  auto* canvasHolder = new QWidget;
  DrawingScrollBox->setWidget(canvasHolder);
  EditImage = new TPictureBox(canvasHolder);
  EditImage->setObjectName("EditImage");
  EditImage->setGeometry(2, 2, 506, 415);

  PlaybackTimer = new QTimer(this);
  PlaybackTimer->setTimerType(Qt::PreciseTimer);
  PlaybackTimer->setInterval(50);

  FrameMenu = new QMenu(this);
  InsertFrameAction = FrameMenu->addAction("Insert");
  DeleteFrameAction = FrameMenu->addAction("Delete");
  TweenAction = FrameMenu->addAction("&Tween...");
  FrameMenu->addSeparator();
  CopyFrameAction = FrameMenu->addAction("Copy Frame");
  PasteFrameAfterAction = FrameMenu->addAction("Paste Frame After");
  DuplicateFrameAction = FrameMenu->addAction("Duplicate Frame");
  FramePasteIntoFramesAction = FrameMenu->addAction("Paste Into Frames...");
}

void TMainForm::CreateMenu() {
  QMenuBar* menus = menuBar();
  // The menu titles' underlined letters are ones no button's Alt key takes:
  // Alt+F is Front's, so File opens with Alt+I; every letter of Options
  // belongs to a button, so it has none (Alt+R, its hotkey, opens it).
  QMenu* file = menus->addMenu("F&ile");
  NewAction = file->addAction("&New");
  NewAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
  OpenAnimationAction = file->addAction("Open Animation");
  OpenAnimationAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
  SaveAction = file->addAction("Save");
  SaveAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
  SaveAnimationAction = file->addAction("Save Animation");
  SaveAnimationAction->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
  file->addSeparator();
  LoadBackgroundAction = file->addAction("Load Background");
  ClearBackgroundAction = file->addAction("Clear Background");
  ClearBackgroundAction->setEnabled(false);
  file->addSeparator();
  LoadFigureAction = file->addAction("Load Figure Type");
  CreateFigureTypeAction = file->addAction("Create Figure Type");
  file->addSeparator();
  ExitAction = file->addAction("Exit");
  ExitAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
  // Undo and Redo of the animation, captioned with the step they take.
  QMenu* edit = menus->addMenu("Edit");
  UndoAction = edit->addAction("&Undo");
  UndoAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
  UndoAction->setEnabled(false);
  RedoAction = edit->addAction("&Redo");
  RedoAction->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
  RedoAction->setEnabled(false);
  edit->addSeparator();
  // The selected figures on the system's clipboard. A text or number field
  // with the focus keeps these keys for its own text.
  CutAction = edit->addAction("Cu&t");
  CutAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_X));
  CopyAction = edit->addAction("&Copy");
  CopyAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_C));
  PasteAction = edit->addAction("&Paste");
  PasteAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_V));
  DuplicateAction = edit->addAction("&Duplicate");
  DuplicateAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_D));
  PasteIntoFramesAction = edit->addAction("Paste &Into Frames...");
  for (QAction* action : {UndoAction, RedoAction, CutAction, CopyAction, PasteAction, DuplicateAction})
    action->setShortcutContext(Qt::WindowShortcut);
  QMenu* view = menus->addMenu("Vie&w");  // Alt+V is Load Background's
  ShowOnionSkinAction = view->addAction("Show Onion Skin");
  ShowOnionSkinAction->setCheckable(true);
  ShowOnionSkinAction->setChecked(OnionSkin.Shown);
  ShowOnionSkinAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_K));
  OnionSkinAction = view->addAction("Onion Skin...");
  OnionSkinAction->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_K));
  CreateZoomItems(view);
  CreateGoMenu(menus);
  // "Options" acts when clicked on the menu bar itself.
  OptionsAction = menus->addAction("Options");
  QMenu* help = menus->addMenu("&Help");
  ViewReadMeAction = help->addAction("View ReadMe File");
  KeyboardShortcutsAction = help->addAction("Keyboard Shortcuts");
  KeyboardShortcutsAction->setShortcut(QKeySequence(Qt::Key_F1));
  AboutAction = help->addAction("About");
}

void TMainForm::DescribeControls() {
  // Each control's tooltip and each menu item's key come from the one table
  // the Keyboard Shortcuts window shows too.
  const std::pair<QWidget*, const char*> controls[] = {
      {PlayButton, "play animation"},   {StopButton, "stop animation"}, {RepeatCheckBox, "Repeat"},
      {RateScrollBar, "frame rate"},    {FigureComboBox, "figure types"}, {AddFigureButton, "Add Figure"},
      {DeleteFigureButton, "Delete"},   {EditTypeButton, "Edit"},        {CenterButton, "Center"},
      {FlipButton, "Flip"},             {ColorButton, "Colour"},         {ScaleSpinEdit, "Scale"},
      {FrontButton, "Front"},           {BackButton, "Back"},            {NextFrameButton, "Next Frame"}};
  for (const auto& [control, hint] : controls) control->setToolTip(HotkeyTip(MainHotkey(QLatin1String(hint))));
  // Shown in the menu; the hotkey button does the work, so the key counts
  // only while the menu itself has the focus.
  const std::pair<QAction*, const char*> items[] = {
      {LoadBackgroundAction, "Alt+V"}, {LoadFigureAction, "Alt+M"}, {CreateFigureTypeAction, "Alt+T"}};
  for (const auto& [item, keys] : items) {
    item->setShortcut(QKeySequence(QLatin1String(keys)));
    item->setShortcutContext(Qt::WidgetShortcut);
  }
}

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

  click(PlayButton, &TMainForm::PlayButtonClick);
  click(StopButton, &TMainForm::StopButtonClick);
  click(AddFigureButton, &TMainForm::AddFigureButtonClick);
  click(DeleteFigureButton, &TMainForm::DeleteFigureButtonClick);
  click(EditTypeButton, &TMainForm::EditTypeButtonClick);
  click(CenterButton, &TMainForm::CenterButtonClick);
  click(FlipButton, &TMainForm::FlipButtonClick);
  click(ColorButton, &TMainForm::ColorButtonClick);
  click(FrontButton, &TMainForm::FrontButtonClick);
  click(BackButton, &TMainForm::BackButtonClick);
  click(NextFrameButton, &TMainForm::NextFrameButtonClick);
  click(SaveAnimationHotkey, &TMainForm::SaveAnimationClick);
  click(LoadBackgroundHotkey, &TMainForm::LoadBackgroundClick);
  click(LoadFigureHotkey, &TMainForm::LoadFigureClick);
  click(CreateFigureTypeHotkey, &TMainForm::CreateFigureTypeClick);
  click(OptionsHotkey, &TMainForm::OptionsClick);
  click(OpenAnimationHotkey, &TMainForm::OpenAnimationClick);

  connect(ScaleSpinEdit, &QSpinBox::valueChanged, this, handler(&TMainForm::ScaleSpinEditChange));
  // What is typed into the scale field until Return or leaving it is one step.
  connect(ScaleSpinEdit, &QSpinBox::editingFinished, &Doc, &TDocument::EndGesture);
  connect(RateScrollBar, &QScrollBar::valueChanged, this, handler(&TMainForm::RateScrollBarChange));
  // While the rate is dragged, the rate it sets shows beside the mouse.
  connect(RateScrollBar, &QScrollBar::sliderMoved, this, [this](int Value) {
    QToolTip::showText(QCursor::pos(), RateText(Value), RateScrollBar);
  });
  connect(PlaybackTimer, &QTimer::timeout, this, handler(&TMainForm::PlaybackTimerTick));

  connect(EditImage, &TPictureBox::MouseDown, this,
          [this](Qt::MouseButton Button, Qt::KeyboardModifiers Shift, double X, double Y) {
            Guard([&] { EditImageMouseDown(Button, Shift, X, Y); });
          });
  connect(EditImage, &TPictureBox::MouseMove, this, [this](Qt::KeyboardModifiers Shift, double X, double Y) {
    Guard([&] { EditImageMouseMove(Shift, X, Y); });
  });
  connect(EditImage, &TPictureBox::MouseUp, this,
          [this](Qt::MouseButton Button, Qt::KeyboardModifiers Shift, double X, double Y) {
            Guard([&] { EditImageMouseUp(Button, Shift, X, Y); });
          });

  menu(InsertFrameAction, &TMainForm::InsertFrameClick);
  menu(DeleteFrameAction, &TMainForm::DeleteFrameClick);
  menu(TweenAction, &TMainForm::TweenClick);
  menu(CopyFrameAction, &TMainForm::CopyFrameClick);
  menu(PasteFrameAfterAction, &TMainForm::PasteFrameAfterClick);
  menu(DuplicateFrameAction, &TMainForm::DuplicateFrameClick);
  menu(FramePasteIntoFramesAction, &TMainForm::FramePasteIntoFramesClick);
  menu(CutAction, &TMainForm::CutClick);
  menu(CopyAction, &TMainForm::CopyClick);
  menu(PasteAction, &TMainForm::PasteClick);
  menu(DuplicateAction, &TMainForm::DuplicateClick);
  menu(PasteIntoFramesAction, &TMainForm::PasteIntoFramesClick);
  connect(TimelineImages, &TTimelineStrip::Clicked, this, [this](int Index) { Guard([&] { FrameClick(Index); }); });
  connect(TimelineImages, &TTimelineStrip::PopupRequested, this, [this](int Index, const QPoint& GlobalPos) {
    Guard([&] { FramePopup(Index); });
    FrameMenu->popup(GlobalPos);
  });

  menu(NewAction, &TMainForm::NewClick);
  menu(OpenAnimationAction, &TMainForm::OpenAnimationClick);
  menu(SaveAction, &TMainForm::SaveClick);
  menu(UndoAction, &TMainForm::UndoClick);
  menu(RedoAction, &TMainForm::RedoClick);
  menu(SaveAnimationAction, &TMainForm::SaveAnimationClick);
  menu(LoadBackgroundAction, &TMainForm::LoadBackgroundClick);
  menu(ClearBackgroundAction, &TMainForm::ClearBackgroundClick);
  menu(LoadFigureAction, &TMainForm::LoadFigureClick);
  menu(CreateFigureTypeAction, &TMainForm::CreateFigureTypeClick);
  menu(ExitAction, &TMainForm::ExitClick);
  menu(OptionsAction, &TMainForm::OptionsClick);
  menu(ViewReadMeAction, &TMainForm::ViewReadMeClick);
  menu(KeyboardShortcutsAction, &TMainForm::KeyboardShortcutsClick);
  menu(ShowOnionSkinAction, &TMainForm::ShowOnionSkinClick);
  menu(OnionSkinAction, &TMainForm::OnionSkinClick);
  menu(AboutAction, &TMainForm::AboutClick);
}
