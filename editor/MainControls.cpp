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

#include "editor/MainUnit.h"
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

  ScrollBox1 = new QAbstractScrollArea(client);
  ScrollBox1->setObjectName("ScrollBox1");
  ScrollBox1->setGeometry(8, 0, 641, 81);
  ScrollBox1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  ScrollBox1->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  TimelineImages = new TTimelineStrip(ScrollBox1, [this](int Index, TThumbnailMaking How) {
    const std::vector<TFigures>& frames = Animation().Frames;
    return Index < static_cast<int>(frames.size()) ? MakeThumbnail(frames[static_cast<std::size_t>(Index)], How)
                                                   : QImage();
  });
  Bevel1 = new QFrame(TimelineImages);
  Bevel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
  Bevel1->setAttribute(Qt::WA_TransparentForMouseEvents);
  Bevel1->hide();

  Panel2 = new QFrame(client);
  Panel2->setGeometry(8, 88, 121, 425);
  Panel2->setFrameStyle(QFrame::Panel | QFrame::Raised);

  GroupBox2 = new QGroupBox(Panel2);
  GroupBox2->setGeometry(8, 8, 105, 113);
  PlayButton = PictureButton(GroupBox2, "&Play", PlayIcon(), "play animation", QRect(13, 16, 57, 22));
  StopButton = PictureButton(GroupBox2, "&Stop", StopIcon(), "stop animation", QRect(13, 48, 57, 22));
  RepeatCheckBox = new QCheckBox("Repeat", GroupBox2);
  RepeatCheckBox->setGeometry(13, 80, 57, 17);
  RepeatCheckBox->setChecked(true);
  RateScrollBar = new QScrollBar(Qt::Vertical, GroupBox2);
  RateScrollBar->setGeometry(80, 16, 17, 89);
  RateScrollBar->setRange(1, 100);
  RateScrollBar->setValue(50);
  RateScrollBar->setToolTip("frame rate");

  FigureComboBox = new QComboBox(Panel2);
  FigureComboBox->setGeometry(8, 136, 105, FigureComboBox->sizeHint().height());
  FigureComboBox->setEditable(true);
  FigureComboBox->setInsertPolicy(QComboBox::NoInsert);
  FigureComboBox->setToolTip("figure types");
  FigureComboBox->addItem("Stickman");
  FigureComboBox->setCurrentIndex(0);

  AddFigureButton = Button(Panel2, "&Add Figure", QRect(21, 160, 75, 25));

  GroupBox1 = new QGroupBox("Current Figure", Panel2);
  GroupBox1->setGeometry(8, 200, 105, 161);
  DeleteFigureButton = Button(GroupBox1, "&Delete", QRect(6, 24, 43, 25));
  EditTypeButton = Button(GroupBox1, "&Edit", QRect(54, 24, 43, 25));
  CenterButton = Button(GroupBox1, "&Center", QRect(6, 56, 43, 25));
  FlipButton = Button(GroupBox1, "F&lip", QRect(54, 56, 43, 25));
  ColorButton = Button(GroupBox1, "Colour", QRect(6, 88, 43, 25));
  ScaleSpinEdit = new QSpinBox(GroupBox1);
  ScaleSpinEdit->setGeometry(54, 90, 45, 22);
  ScaleSpinEdit->setRange(0, 100000);
  ScaleSpinEdit->setSingleStep(1);
  ScaleSpinEdit->setValue(100);
  ScaleSpinEdit->setToolTip("Scale");
  // An emptied edit that loses the focus shows the scale it had, rather than
  // its minimum, which would collapse the figure onto its root.
  ScaleSpinEdit->setCorrectionMode(QAbstractSpinBox::CorrectToPreviousValue);
  ScaleSpinEdit->setButtonSymbols(QAbstractSpinBox::UpDownArrows);
  FrontButton = Button(GroupBox1, "&Front", QRect(6, 120, 43, 25));
  BackButton = Button(GroupBox1, "&Back", QRect(54, 120, 43, 25));
  SaveThis = HotkeyButton(GroupBox1, "&K");
  Loadbk = HotkeyButton(GroupBox1, "&V");
  LoadFig = HotkeyButton(GroupBox1, "&M");
  CreateFig = HotkeyButton(GroupBox1, "&T");
  Opmen = HotkeyButton(GroupBox1, "&R");
  Openani = HotkeyButton(GroupBox1, "&O");

  NextFrameButton = Button(Panel2, "&Next Frame", QRect(24, 376, 75, 33));

  ScrollBox2 = new QScrollArea(client);
  ScrollBox2->setObjectName("ScrollBox2");
  ScrollBox2->setGeometry(136, 88, 513, 425);
  auto* canvasHolder = new QWidget;
  ScrollBox2->setWidget(canvasHolder);
  EditImage = new TPictureBox(canvasHolder);
  EditImage->setObjectName("EditImage");
  EditImage->setGeometry(2, 2, 506, 415);

  Timer1 = new QTimer(this);
  Timer1->setTimerType(Qt::PreciseTimer);
  Timer1->setInterval(50);

  PopupMenu1 = new QMenu(this);
  Insert1 = PopupMenu1->addAction("Insert");
  Delete1 = PopupMenu1->addAction("Delete");
}

void TMainForm::CreateMenu() {
  QMenuBar* mainMenu1 = menuBar();
  QMenu* file = mainMenu1->addMenu("File");
  New1 = file->addAction("&New");
  New1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
  OpenAnimation1 = file->addAction("Open Animation");
  OpenAnimation1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
  Save1 = file->addAction("Save");
  Save1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
  SaveAnimation1 = file->addAction("Save Animation");
  SaveAnimation1->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
  file->addSeparator();
  LoadBackground1 = file->addAction("Load Background");
  ClearBackground1 = file->addAction("Clear Background");
  ClearBackground1->setEnabled(false);
  file->addSeparator();
  LoadFigure1 = file->addAction("Load Figure Type");
  CreateFigureType1 = file->addAction("Create Figure Type");
  file->addSeparator();
  Exit1 = file->addAction("Exit");
  Exit1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
  // Undo and Redo of the animation, captioned with the step they take.
  QMenu* edit = mainMenu1->addMenu("Edit");
  Undo1 = edit->addAction("&Undo");
  Undo1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
  Undo1->setEnabled(false);
  Redo1 = edit->addAction("&Redo");
  Redo1->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
  Redo1->setEnabled(false);
  for (QAction* action : {Undo1, Redo1}) action->setShortcutContext(Qt::WindowShortcut);
  // "Options" acts when clicked on the menu bar itself.
  Options1 = mainMenu1->addAction("Options");
  QMenu* help = mainMenu1->addMenu("Help");
  ViewReadMefile1 = help->addAction("View ReadMe File");
  About1 = help->addAction("About");
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
  click(SaveThis, &TMainForm::SaveAnimation1Click);
  click(Loadbk, &TMainForm::LoadBackground1Click);
  click(LoadFig, &TMainForm::LoadFigure1Click);
  click(CreateFig, &TMainForm::CreateFigureType1Click);
  click(Opmen, &TMainForm::Options1Click);
  click(Openani, &TMainForm::OpenAnimation1Click);

  connect(ScaleSpinEdit, &QSpinBox::valueChanged, this, handler(&TMainForm::ScaleSpinEditChange));
  connect(RateScrollBar, &QScrollBar::valueChanged, this, handler(&TMainForm::RateScrollBarChange));
  connect(Timer1, &QTimer::timeout, this, handler(&TMainForm::Timer1Timer));

  connect(EditImage, &TPictureBox::MouseDown, this,
          [this](Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y) {
            Guard([&] { EditImageMouseDown(Button, Shift, X, Y); });
          });
  connect(EditImage, &TPictureBox::MouseMove, this, [this](Qt::KeyboardModifiers Shift, int X, int Y) {
    Guard([&] { EditImageMouseMove(Shift, X, Y); });
  });
  connect(EditImage, &TPictureBox::MouseUp, this,
          [this](Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y) {
            Guard([&] { EditImageMouseUp(Button, Shift, X, Y); });
          });

  menu(Insert1, &TMainForm::Insert1Click);
  menu(Delete1, &TMainForm::Delete1Click);
  connect(TimelineImages, &TTimelineStrip::Clicked, this, [this](int Index) { Guard([&] { FrameClick(Index); }); });
  connect(TimelineImages, &TTimelineStrip::PopupRequested, this, [this](int Index, const QPoint& GlobalPos) {
    Guard([&] { FramePopup(Index); });
    PopupMenu1->popup(GlobalPos);
  });

  menu(New1, &TMainForm::New1Click);
  menu(OpenAnimation1, &TMainForm::OpenAnimation1Click);
  menu(Save1, &TMainForm::Save1Click);
  menu(Undo1, &TMainForm::Undo1Click);
  menu(Redo1, &TMainForm::Redo1Click);
  menu(SaveAnimation1, &TMainForm::SaveAnimation1Click);
  menu(LoadBackground1, &TMainForm::LoadBackground1Click);
  menu(ClearBackground1, &TMainForm::ClearBackground1Click);
  menu(LoadFigure1, &TMainForm::LoadFigure1Click);
  menu(CreateFigureType1, &TMainForm::CreateFigureType1Click);
  menu(Exit1, &TMainForm::Exit1Click);
  menu(Options1, &TMainForm::Options1Click);
  menu(ViewReadMefile1, &TMainForm::ViewReadMefile1Click);
  menu(About1, &TMainForm::About1Click);
}
