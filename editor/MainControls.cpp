// SPDX-License-Identifier: GPL-3.0-or-later
// Building the main window's controls at their design positions, with their
// tooltips from the hotkey table and their design names.

#include "editor/MainControls.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QMainWindow>
#include <QMenu>
#include <QPainter>
#include <QPolygon>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QStatusBar>
#include <QTimer>
#include <QToolButton>

#include "editor/MainHotkeys.h"
#include "editor/TimelineStrip.h"
#include "platform/HotkeyButton.h"
#include "platform/ObjectNames.h"
#include "platform/PictureBox.h"

bool TMainControls::Playing() const { return PlaybackTimer->isActive(); }

TLineStyle TMainControls::Lines() const {
  return SmoothLinesAction != nullptr && SmoothLinesAction->isChecked() ? TLineStyle::Smooth : TLineStyle::Pixel;
}

std::array<QWidget*, 8> TMainControls::FigureControls() const {
  return {DeleteFigureButton, EditTypeButton, CenterButton, FlipButton,
          ColorButton,        ScaleSpinEdit,  FrontButton,  BackButton};
}

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

QToolButton* PictureButton(QWidget* Parent, const QString& Caption, const QIcon& Icon, QRect Geometry) {
  auto* button = new QToolButton(Parent);
  button->setText(Caption);
  button->setIcon(Icon);
  button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  button->setAutoRaise(true);
  button->setGeometry(Geometry);
  return button;
}

QPushButton* Button(QWidget* Parent, const QString& Caption, QRect Geometry) {
  auto* button = new QPushButton(Caption, Parent);
  button->setGeometry(Geometry);
  button->setAutoDefault(false);
  return button;
}

// A button that cannot be seen or clicked but answers its Alt+letter hotkey:
// outside the figure group's visible area, of no height.
QPushButton* HotkeyButton(QWidget* Parent, const QString& Caption) {
  return MakeHotkeyButton(Parent, Caption, QRect(1000, 1000, 1000, 0));
}

void BuildStrip(QWidget* Client, TMainControls& Ui) {
  Ui.TimelineScrollBox = new QAbstractScrollArea(Client);
  Ui.TimelineScrollBox->setGeometry(8, 0, 641, 81);
  Ui.TimelineScrollBox->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  Ui.TimelineScrollBox->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  Ui.TimelineImages = new TTimelineStrip(Ui.TimelineScrollBox);
  Ui.FrameMarker = new QFrame(Ui.TimelineImages);
  Ui.FrameMarker->setFrameStyle(QFrame::Panel | QFrame::Raised);
  Ui.FrameMarker->setAttribute(Qt::WA_TransparentForMouseEvents);
  Ui.FrameMarker->hide();
}

void BuildPlaybackGroup(TMainControls& Ui) {
  Ui.PlaybackGroupBox = new QGroupBox(Ui.ToolPanel);
  Ui.PlaybackGroupBox->setGeometry(8, 8, 105, 113);
  Ui.PlayButton = PictureButton(Ui.PlaybackGroupBox, "&Play", PlayIcon(), QRect(13, 16, 57, 22));
  Ui.StopButton = PictureButton(Ui.PlaybackGroupBox, "&Stop", StopIcon(), QRect(13, 48, 57, 22));
  Ui.RepeatCheckBox = new QCheckBox("Repeat", Ui.PlaybackGroupBox);
  Ui.RepeatCheckBox->setGeometry(13, 80, 57, 17);
  Ui.RepeatCheckBox->setChecked(true);
  Ui.RateScrollBar = new QScrollBar(Qt::Vertical, Ui.PlaybackGroupBox);
  Ui.RateScrollBar->setGeometry(80, 16, 17, 89);
  Ui.RateScrollBar->setRange(1, 100);
  Ui.RateScrollBar->setValue(50);
}

void BuildTypeList(TMainControls& Ui) {
  Ui.FigureComboBox = new QComboBox(Ui.ToolPanel);
  Ui.FigureComboBox->setGeometry(8, 136, 105, Ui.FigureComboBox->sizeHint().height());
  Ui.FigureComboBox->setEditable(true);
  Ui.FigureComboBox->setInsertPolicy(QComboBox::NoInsert);
  Ui.FigureComboBox->addItem("Stickman");
  Ui.FigureComboBox->setCurrentIndex(0);
  Ui.AddFigureButton = Button(Ui.ToolPanel, "&Add Figure", QRect(21, 160, 75, 25));
}

void BuildFigureGroup(TMainControls& Ui) {
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
}

void BuildDrawingArea(QWidget* Client, TMainControls& Ui) {
  Ui.DrawingScrollBox = new QScrollArea(Client);
  Ui.DrawingScrollBox->setGeometry(136, 88, 513, 425);
  auto* canvasHolder = new QWidget;
  Ui.DrawingScrollBox->setWidget(canvasHolder);
  Ui.EditImage = new TPictureBox(canvasHolder);
  Ui.EditImage->setObjectName("EditImage");
  Ui.EditImage->setGeometry(2, 2, 506, 415);
}

void BuildFrameMenu(QMainWindow& Window, TMainControls& Ui) {
  Ui.PlaybackTimer = new QTimer(&Window);
  Ui.PlaybackTimer->setTimerType(Qt::PreciseTimer);
  Ui.PlaybackTimer->setInterval(50);

  Ui.FrameMenu = new QMenu(&Window);
  Ui.InsertFrameAction = Ui.FrameMenu->addAction("Insert");
  Ui.DeleteFrameAction = Ui.FrameMenu->addAction("Delete");
  Ui.TweenAction = Ui.FrameMenu->addAction("&Tween...");
  Ui.HoldAction = Ui.FrameMenu->addAction("Hold...");
  Ui.FrameMenu->addSeparator();
  Ui.CopyFrameAction = Ui.FrameMenu->addAction("Copy Frame");
  Ui.PasteFrameAfterAction = Ui.FrameMenu->addAction("Paste Frame After");
  Ui.DuplicateFrameAction = Ui.FrameMenu->addAction("Duplicate Frame");
  Ui.FramePasteIntoFramesAction = Ui.FrameMenu->addAction("Paste Into Frames...");
}

// Each control's tooltip and each menu item's key come from the one table
// the Keyboard Shortcuts window shows too.
void DescribeControls(TMainControls& Ui) {
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

void KeepMainDesignNames(const TMainControls& Ui) {
  KeepDesignNames({{Ui.TimelineScrollBox, "ScrollBox1"},
                   {Ui.FrameMarker, "Bevel1"},
                   {Ui.ToolPanel, "Panel2"},
                   {Ui.PlaybackGroupBox, "GroupBox2"},
                   {Ui.FigureGroupBox, "GroupBox1"},
                   {Ui.SaveAnimationHotkey, "SaveThis"},
                   {Ui.LoadBackgroundHotkey, "Loadbk"},
                   {Ui.LoadFigureHotkey, "LoadFig"},
                   {Ui.CreateFigureTypeHotkey, "CreateFig"},
                   {Ui.OptionsHotkey, "Opmen"},
                   {Ui.OpenAnimationHotkey, "Openani"},
                   {Ui.DrawingScrollBox, "ScrollBox2"},
                   {Ui.PlaybackTimer, "Timer1"},
                   {Ui.FrameMenu, "PopupMenu1"},
                   {Ui.InsertFrameAction, "Insert1"},
                   {Ui.DeleteFrameAction, "Delete1"},
                   {Ui.NewAction, "New1"},
                   {Ui.OpenAnimationAction, "OpenAnimation1"},
                   {Ui.SaveAction, "Save1"},
                   {Ui.SaveAnimationAction, "SaveAnimation1"},
                   {Ui.LoadBackgroundAction, "LoadBackground1"},
                   {Ui.ClearBackgroundAction, "ClearBackground1"},
                   {Ui.LoadFigureAction, "LoadFigure1"},
                   {Ui.CreateFigureTypeAction, "CreateFigureType1"},
                   {Ui.ExitAction, "Exit1"},
                   {Ui.UndoAction, "Undo1"},
                   {Ui.RedoAction, "Redo1"},
                   {Ui.OptionsAction, "Options1"},
                   {Ui.ViewReadMeAction, "ViewReadMefile1"},
                   {Ui.AboutAction, "About1"}});
}

}  // namespace

void BuildMainControls(QMainWindow& Window, TMainControls& Ui) {
  auto* client = new QWidget(&Window);
  Window.setCentralWidget(client);
  BuildStrip(client, Ui);
  Ui.ToolPanel = new QFrame(client);
  Ui.ToolPanel->setGeometry(8, 88, 121, 425);
  Ui.ToolPanel->setFrameStyle(QFrame::Panel | QFrame::Raised);
  BuildPlaybackGroup(Ui);
  BuildTypeList(Ui);
  BuildFigureGroup(Ui);
  Ui.NextFrameButton = Button(Ui.ToolPanel, "&Next Frame", QRect(24, 376, 75, 33));
  BuildDrawingArea(client, Ui);
  BuildFrameMenu(Window, Ui);
  BuildMainMenus(Window, Ui);
  DescribeControls(Ui);
  KeepMainDesignNames(Ui);
}
