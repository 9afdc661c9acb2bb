// SPDX-License-Identifier: GPL-3.0-or-later
#include "builder/FigureBuilderUnit.h"

#include <QAction>
#include <QCloseEvent>
#include <QCursor>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QToolButton>
#include <array>
#include <utility>

#include "builder/BuilderHotkeys.h"
#include "builder/ButtonPictures.h"
#include "builder/NameUnit.h"
#include "builder/UpDown.h"
#include "model/Common.h"
#include "model/Rounding.h"
#include "platform/ErrorReport.h"
#include "platform/GuardedHandlers.h"
#include "platform/HotkeyButton.h"
#include "platform/ObjectNames.h"
#include "platform/PictureBox.h"

namespace {

using THandler = void (TFigureBuilderForm::*)();

// A button of the tool column, with its picture, at Top.
QToolButton* MakeToolButton(QWidget* Column, int Top, TButtonPicture Picture) {
  auto* button = new QToolButton(Column);
  button->setGeometry(9, Top, 31, 31);
  button->setIcon(QIcon(MakeButtonPicture(Picture)));
  button->setIconSize(QSize(ButtonPictureSize, ButtonPictureSize));
  button->setFocusPolicy(Qt::NoFocus);
  return button;
}

// The hidden hotkey buttons, in the order they lie left of the tool column.
struct THotkeyButtonPlace {
  QPushButton* TBuilderControls::*Button;
  const char* Caption;
  THandler Handler;
};
constexpr THotkeyButtonPlace HotkeyButtons[] = {
    {&TBuilderControls::LineHotkey, "&L", &TFigureBuilderForm::LineButtonClick},
    {&TBuilderControls::CircleHotkey, "&C", &TFigureBuilderForm::CircleButtonClick},
    {&TBuilderControls::ChangeKindHotkey, "&T", &TFigureBuilderForm::ChangeKindButtonClick},
    {&TBuilderControls::DuplicateHotkey, "&D", &TFigureBuilderForm::DuplicateButtonClick},
    {&TBuilderControls::ChangeStaticHotkey, "&W", &TFigureBuilderForm::ChangeStaticButtonClick},
    {&TBuilderControls::DeleteHotkey, "&F", &TFigureBuilderForm::DeleteButtonClick},
    {&TBuilderControls::EditModeHotkey, "&E", &TFigureBuilderForm::EditModeClick},
    {&TBuilderControls::NewHotkey, "&N", &TFigureBuilderForm::NewClick},
    {&TBuilderControls::OpenHotkey, "&O", &TFigureBuilderForm::OpenClick},
    {&TBuilderControls::SaveHotkey, "&S", &TFigureBuilderForm::SaveClick},
    {&TBuilderControls::SaveAsHotkey, "&G", &TFigureBuilderForm::SaveAsClick},
    {&TBuilderControls::AddToAnimationHotkey, "&A", &TFigureBuilderForm::AddToAnimationClick},
};

// The menu entries and their handlers.
struct TActionHandler {
  QAction* TBuilderControls::*Action;
  THandler Handler;
};
constexpr TActionHandler ActionHandlers[] = {
    {&TBuilderControls::NewAction, &TFigureBuilderForm::NewClick},
    {&TBuilderControls::OpenAction, &TFigureBuilderForm::OpenClick},
    {&TBuilderControls::SaveAction, &TFigureBuilderForm::SaveClick},
    {&TBuilderControls::SaveAsAction, &TFigureBuilderForm::SaveAsClick},
    {&TBuilderControls::AddToAnimationAction, &TFigureBuilderForm::AddToAnimationClick},
    {&TBuilderControls::ExitAction, &TFigureBuilderForm::ExitClick},
    {&TBuilderControls::UndoAction, &TFigureBuilderForm::UndoClick},
    {&TBuilderControls::EditModeAction, &TFigureBuilderForm::EditModeClick},
};

}  // namespace

TFigureBuilderForm::TFigureBuilderForm(TDialogs& Dialogs, TFigureTypeHost* Host, QWidget* Parent)
    : QMainWindow(Parent), Dialogs(Dialogs), Host(Host) {
  setWindowTitle(QStringLiteral("Stick Figure Builder"));
  // Closing the builder only hides it; it never ends the program.
  setAttribute(Qt::WA_QuitOnClose, false);
  NameForm = new TNameForm(this);
  CreateControls();
  CreateMenus();
  DescribeControls();
  NameControls();
  ConnectHandlers();
  resize(DesignWidth, DesignHeight);
  FormResize();
  FormCreate();
}

TFigureBuilderForm::~TFigureBuilderForm() = default;

void TFigureBuilderForm::CreateControls() {
  auto* client = new QWidget(this);
  setCentralWidget(client);
  CreateToolColumn(client);
  CreateHotkeyButtons();
  CreateDrawingArea(client);
  CreateStatusBar(client);
}

void TFigureBuilderForm::CreateToolColumn(QWidget* Client) {
  Ui.ToolPanel = new QFrame(Client);
  Ui.ToolPanel->setFrameStyle(QFrame::Panel | QFrame::Raised);
  Ui.ToolPanel->setGeometry(0, 0, 49, 305);
  Ui.LineButton = MakeToolButton(Ui.ToolPanel, 8, TButtonPicture::AddLine);
  Ui.CircleButton = MakeToolButton(Ui.ToolPanel, 48, TButtonPicture::AddCircle);
  Ui.ChangeKindButton = MakeToolButton(Ui.ToolPanel, 104, TButtonPicture::ChangeKind);
  Ui.ThicknessUpDown = new TUpDown(Ui.ToolPanel);
  Ui.ThicknessUpDown->setGeometry(9, 144, 31, 31);
  Ui.ThicknessUpDown->SetRange(0, 100);
  Ui.DuplicateButton = MakeToolButton(Ui.ToolPanel, 184, TButtonPicture::Duplicate);
  Ui.ChangeStaticButton = MakeToolButton(Ui.ToolPanel, 224, TButtonPicture::ChangeStatic);
  Ui.DeleteButton = MakeToolButton(Ui.ToolPanel, 264, TButtonPicture::Delete);
}

void TFigureBuilderForm::CreateHotkeyButtons() {
  int slot = 0;
  for (const THotkeyButtonPlace& place : HotkeyButtons) {
    // Left of the tool column's visible area, one beside the other.
    Ui.*place.Button = MakeHotkeyButton(Ui.ToolPanel, QLatin1String(place.Caption), QRect(-100 - 30 * slot, 8, 25, 25));
    ++slot;
  }
}

void TFigureBuilderForm::CreateDrawingArea(QWidget* Client) {
  Ui.FigureImage = new TPictureBox(Client);
  Ui.FigureImage->setGeometry(56, 0, 321, 305);
  Ui.FigureImage->SetPicture(QImage(321, 305, QImage::Format_RGB32));
}

void TFigureBuilderForm::CreateStatusBar(QWidget* Client) {
  Ui.StatusPanel = new QFrame(Client);
  Ui.StatusPanel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  Ui.StatusPanel->setGeometry(0, 312, 105, 25);
  Ui.StatusLabel = new QLabel(Ui.StatusPanel);
  Ui.StatusLabel->move(8, 6);
}

void TFigureBuilderForm::NameControls() {
  KeepDesignNames({{Ui.ThicknessUpDown, "UpDown1"},   {Ui.FigureImage, "Image1"},
                   {Ui.ToolPanel, "Panel1"},          {Ui.StatusPanel, "Panel2"},
                   {Ui.StatusLabel, "Label1"},        {Ui.LineHotkey, "SimpleL"},
                   {Ui.CircleHotkey, "SimpleC"},      {Ui.ChangeKindHotkey, "SimpleT"},
                   {Ui.DuplicateHotkey, "SimpleD"},   {Ui.ChangeStaticHotkey, "SimpleS"},
                   {Ui.DeleteHotkey, "SimpleDe"},     {Ui.EditModeHotkey, "Editm"},
                   {Ui.NewHotkey, "FileN"},           {Ui.OpenHotkey, "OpenT"},
                   {Ui.SaveHotkey, "SaveThis"},       {Ui.SaveAsHotkey, "SaveAs"},
                   {Ui.AddToAnimationHotkey, "AddT"}, {Ui.FileMenu, "File1"},
                   {Ui.OptionsMenu, "Options1"},      {Ui.NewAction, "New1"},
                   {Ui.OpenAction, "Open1"},          {Ui.SaveAction, "Save1"},
                   {Ui.SaveAsAction, "SaveAs1"},      {Ui.AddToAnimationAction, "AddToAnimation1"},
                   {Ui.ExitAction, "Exit1"},          {Ui.UndoAction, "Undo1"},
                   {Ui.EditModeAction, "EditMode1"}});
}

void TFigureBuilderForm::ConnectHandlers() {
  ConnectGuarded(Dialogs, this, Ui.LineButton, this, &TFigureBuilderForm::LineButtonClick);
  ConnectGuarded(Dialogs, this, Ui.CircleButton, this, &TFigureBuilderForm::CircleButtonClick);
  ConnectGuarded(Dialogs, this, Ui.ChangeKindButton, this, &TFigureBuilderForm::ChangeKindButtonClick);
  ConnectGuarded(Dialogs, this, Ui.ThicknessUpDown, &TUpDown::Click, this, &TFigureBuilderForm::ThicknessUpDownClick);
  ConnectGuarded(Dialogs, this, Ui.DuplicateButton, this, &TFigureBuilderForm::DuplicateButtonClick);
  ConnectGuarded(Dialogs, this, Ui.ChangeStaticButton, this, &TFigureBuilderForm::ChangeStaticButtonClick);
  ConnectGuarded(Dialogs, this, Ui.DeleteButton, this, &TFigureBuilderForm::DeleteButtonClick);
  for (const THotkeyButtonPlace& place : HotkeyButtons)
    ConnectGuarded(Dialogs, this, Ui.*place.Button, this, place.Handler);
  for (const TActionHandler& entry : ActionHandlers)
    ConnectGuarded(Dialogs, this, Ui.*entry.Action, this, entry.Handler);
  ConnectGuarded(Dialogs, this, Ui.FigureImage, &TPictureBox::MouseDown, this,
                 &TFigureBuilderForm::FigureImageMouseDown);
  ConnectGuarded(Dialogs, this, Ui.FigureImage, &TPictureBox::MouseMove, this,
                 &TFigureBuilderForm::FigureImageMouseMove);
  ConnectGuarded(Dialogs, this, Ui.FigureImage, &TPictureBox::MouseUp, this, &TFigureBuilderForm::FigureImageMouseUp);
}

void TFigureBuilderForm::DescribeControls() {
  // Each control's tooltip and each menu item's key come from the one table
  // the Keyboard Shortcuts window shows too, found by the control's hint.
  const std::pair<QWidget*, const char*> controls[] = {{Ui.LineButton, "add line"},
                                                       {Ui.CircleButton, "add circle"},
                                                       {Ui.ChangeKindButton, "toggle segment kind"},
                                                       {Ui.ThicknessUpDown, "change segment thickness"},
                                                       {Ui.DuplicateButton, "duplicate segment"},
                                                       {Ui.ChangeStaticButton, "static / dynamic segment"},
                                                       {Ui.DeleteButton, "delete segment"}};
  for (const auto& [control, hint] : controls) control->setToolTip(HotkeyTip(BuilderHotkey(QLatin1String(hint))));
  const std::pair<QAction*, const char*> items[] = {{Ui.NewAction, "New"},
                                                    {Ui.OpenAction, "Open"},
                                                    {Ui.SaveAction, "Save"},
                                                    {Ui.SaveAsAction, "Save As"},
                                                    {Ui.AddToAnimationAction, "Add To Animation"},
                                                    {Ui.EditModeAction, "Edit Mode"}};
  for (const auto& [item, hint] : items) {
    const THotkeyRow& row = BuilderHotkey(QLatin1String(hint));
    // Shown in the menu; the hotkey button beside it does the work, so the
    // key counts only while the menu itself has the focus.
    item->setShortcut(QKeySequence(row.Keys));
    item->setShortcutContext(Qt::WidgetShortcut);
    item->setToolTip(HotkeyTip(row));
  }
}

void TFigureBuilderForm::CreateMenus() {
  // The menu titles carry no mnemonics: every Alt+letter belongs to a hotkey button.
  Ui.FileMenu = menuBar()->addMenu(QStringLiteral("File"));
  Ui.NewAction = Ui.FileMenu->addAction(QStringLiteral("New"));
  Ui.FileMenu->addSeparator();
  Ui.OpenAction = Ui.FileMenu->addAction(QStringLiteral("Open"));
  Ui.SaveAction = Ui.FileMenu->addAction(QStringLiteral("Save"));
  Ui.SaveAsAction = Ui.FileMenu->addAction(QStringLiteral("Save As"));
  Ui.AddToAnimationAction = Ui.FileMenu->addAction(QStringLiteral("Add To Animation"));
  Ui.FileMenu->addSeparator();
  Ui.ExitAction = Ui.FileMenu->addAction(QStringLiteral("Close"));
  Ui.OptionsMenu = menuBar()->addMenu(QStringLiteral("Options"));
  Ui.UndoAction = Ui.OptionsMenu->addAction(QStringLiteral("Undo"));
  Ui.UndoAction->setEnabled(false);
  Ui.EditModeAction = Ui.OptionsMenu->addAction(QStringLiteral("Edit Mode"));
  Ui.EditModeAction->setCheckable(true);
}

void TFigureBuilderForm::FormCreate() {
  Initialize();
  Created = true;
}

void TFigureBuilderForm::Initialize() {
  GrabbedHandle = NoHandle;
  AddStep = TAddStep::None;
  PendingDuplicate.reset();
  MoveUndoPending = false;
  // Edit Mode is an option of the window: a reset leaves it as it is.
  FigureFileName.clear();
  SelectedSegment = 0;
  Ui.ThicknessUpDown->SetPosition(5);
  StaticFlags.assign(1, false);

  // The start segment: a dynamic line 48 long and 5 thick. Its stored
  // direction is not used: the figure's own direction below is what counts.
  TFigureType& type = Type();
  type.SetSegmentCount(1);
  TSegmentStruct& s = type.Segments[0];
  const double angle = s.Angle;
  s = TSegmentStruct{};
  s.Angle = angle;
  s.ParentVertex = 0;
  s.ChildVertex = 1;
  s.Length = 48.0f;
  s.Thickness = 5.0f;
  s.Kind = SegmentLine;
  s.Static = 0;
  type.RebuildVertices();

  WorkFigure = TFigure{};
  WorkFigure.SetType(0, Working);
  const QRect area = PictureRect();
  const int middleX = area.width() / 2, middleY = area.height() / 2;
  const TRealPoint root = RealPoint(static_cast<float>(middleX), static_cast<float>(middleY));
  WorkFigure.SetVertex(0, root);
  WorkFigure.SetVertex(1, RealPoint(root.X, root.Y - s.Length));
  WorkFigure.Angles[0] = AngleBetween(root, WorkFigure.Points()[1]);
  EraseFigure();
  DrawFigure();

  UndoFigureType = TFigureType{};
  UndoFigure = TFigure{};
  SetUndoCaption(QStringLiteral("Undo"));
  SetCanUndo(false);
  // A reset may interrupt an add or a duplicate: nothing of it stays on.
  ShowModeCues();
  DisplaySegmentData();
}

void TFigureBuilderForm::EditFigureType(const TFigureType& Source) {
  const TTypeFileState before = TypeFileState();
  LoadType(Source);
  ShowInFront();
  ReportChangeSince(before);
}

void TFigureBuilderForm::LoadType(const TFigureType& Source) {
  if (Source.SegmentCount() == 0) {
    // A type in use always has a segment; an empty one gives the start figure.
    Initialize();
    return;
  }
  Type().Assign(Source);
  SetUndoCaption(QStringLiteral("Undo"));
  SetCanUndo(false);
  // Whatever add, duplicate or drag was pending referred to the old type.
  EndPendingModes();
  SelectedSegment = 0;
  FigureFileName.clear();

  ShowLoadedType();
}

void TFigureBuilderForm::ShowLoadedType() {
  EraseFigure();
  WorkFigure = TFigure{};
  WorkFigure.SetType(0, Working);
  const QRect area = PictureRect();
  const int middleX = area.width() / 2, middleY = area.height() / 2;
  WorkFigure.MoveBy(RealPoint(static_cast<float>(middleX), static_cast<float>(middleY)));
  Ui.ThicknessUpDown->SetPosition(TruncNumber(Type().Segments[0].Thickness));
  // The static bytes become the builder's flags while it edits the type.
  StaticFlags.resize(Type().SegmentCount());
  for (std::size_t i = 0; i < StaticFlags.size(); ++i) StaticFlags[i] = Type().Segments[i].Static != 0;
  ClearStaticBytes();
  DisplaySegmentData();
  DrawFigure();
}

void TFigureBuilderForm::ShowInFront() {
  show();
  raise();
  activateWindow();
}

void TFigureBuilderForm::FormResize() {
  const int w = width();
  const int h = height();
  // A window made very small keeps a drawing area of at least one pixel.
  const int areaWidth = std::max(1, w - 64);
  const int areaHeight = std::max(1, h - ThemeOffset() - 79);
  Ui.FigureImage->setGeometry(56, 0, areaWidth, areaHeight);
  if (Ui.FigureImage->Picture().size() != QSize(areaWidth, areaHeight))
    Ui.FigureImage->SetPicture(QImage(areaWidth, areaHeight, QImage::Format_RGB32));
  Ui.StatusPanel->setGeometry(0, h - ThemeOffset() - 71, std::max(0, w - 8), 25);
  if (Created) {
    // The figure keeps its coordinates: a bigger area shows more room.
    EraseFigure();
    DrawFigure();
  } else {
    Ui.FigureImage->Picture().fill(Qt::white);
  }
}

void TFigureBuilderForm::resizeEvent(QResizeEvent* Event) {
  QMainWindow::resizeEvent(Event);
  if (Created) RunGuarded(Dialogs, this, [this] { FormResize(); });
}

void TFigureBuilderForm::showEvent(QShowEvent* Event) {
  if (!ShownBefore) {
    ShownBefore = true;
    if (const QScreen* s = screen()) move(s->availableGeometry().center() - rect().center());
  }
  QMainWindow::showEvent(Event);
}

void TFigureBuilderForm::closeEvent(QCloseEvent* Event) {
  Event->ignore();
  ExitClick();
}

void TFigureBuilderForm::ExitClick() { hide(); }

void TFigureBuilderForm::DisplaySegmentData() {
  const TSegmentStruct& s = Type().Segments[SelectedSegment];
  QString text = s.Kind == SegmentLine ? QStringLiteral("line") : QStringLiteral("circle");
  text += QStringLiteral(": thickness ") + QString::number(TruncNumber(s.Thickness));
  text += QStringLiteral(", length ") + QString::number(TruncNumber(s.Length));
  text += StaticFlags[SelectedSegment] ? QStringLiteral(", static") : QStringLiteral(", dynamic");
  Ui.StatusLabel->setText(text);
  Ui.StatusLabel->adjustSize();
}

void TFigureBuilderForm::ShowStatus() {
  if (AddStep == TAddStep::Placing)
    Ui.StatusLabel->setText(QStringLiteral("click to add"));
  else if (AddStep == TAddStep::ChoosingStart)
    Ui.StatusLabel->setText(QStringLiteral("select a starting handle"));
  else if (PendingDuplicate)
    Ui.StatusLabel->setText(QStringLiteral("select a handle to attach segment"));
  else
    return DisplaySegmentData();
  Ui.StatusLabel->adjustSize();
}

void TFigureBuilderForm::SetMousePos(QPoint Point) {
  // Platforms that do not let a program move the pointer ignore the request.
  QCursor::setPos(centralWidget()->mapToGlobal(Point));
}

void TFigureBuilderForm::EnableSelectedSegmentButtons(bool Enabled) {
  const std::array<QWidget*, 5> buttons = {Ui.ChangeKindButton, Ui.DeleteButton, Ui.DuplicateButton, Ui.ThicknessUpDown,
                                           Ui.ChangeStaticButton};
  for (QWidget* control : buttons) control->setEnabled(Enabled);
}

void TFigureBuilderForm::ShowModeCues() {
  const bool pending = AddStep != TAddStep::None || PendingDuplicate;
  if (pending)
    Ui.FigureImage->setCursor(Qt::CrossCursor);
  else
    Ui.FigureImage->setCursor(Qt::ArrowCursor);
  EnableSelectedSegmentButtons(!pending);
}

void TFigureBuilderForm::EndPendingModes() {
  AddStep = TAddStep::None;
  PendingDuplicate.reset();
  GrabbedHandle = NoHandle;
  MoveUndoPending = false;
  ShowModeCues();
}

void TFigureBuilderForm::SetUndoCaption(const QString& Caption) { Ui.UndoAction->setText(Caption); }

QRect TFigureBuilderForm::PictureRect() const { return Ui.FigureImage->Picture().rect(); }
