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

#include "builder/BuilderHotkeys.h"
#include "builder/ButtonPictures.h"
#include "builder/NameUnit.h"
#include "builder/UpDown.h"
#include "model/Common.h"
#include "model/Rounding.h"
#include "platform/ErrorReport.h"
#include "platform/ObjectNames.h"
#include "platform/PictureBox.h"

TFigureBuilderForm::TFigureBuilderForm(TDialogs& Dialogs, TFigureTypeHost* Host, QWidget* Parent)
    : QMainWindow(Parent), Dialogs(Dialogs), Host(Host) {
  setWindowTitle(QStringLiteral("Stick Figure Builder"));
  // Closing the builder only hides it; it never ends the program.
  setAttribute(Qt::WA_QuitOnClose, false);
  NameForm = new TNameForm(this);
  CreateControls();
  CreateMenus();
  DescribeControls();
  KeepDesignNames({{ThicknessUpDown, "UpDown1"},   {FigureImage, "Image1"},
                   {ToolPanel, "Panel1"},          {StatusPanel, "Panel2"},
                   {StatusLabel, "Label1"},        {LineHotkey, "SimpleL"},
                   {CircleHotkey, "SimpleC"},      {ChangeKindHotkey, "SimpleT"},
                   {DuplicateHotkey, "SimpleD"},   {ChangeStaticHotkey, "SimpleS"},
                   {DeleteHotkey, "SimpleDe"},     {EditModeHotkey, "Editm"},
                   {NewHotkey, "FileN"},           {OpenHotkey, "OpenT"},
                   {SaveHotkey, "SaveThis"},       {SaveAsHotkey, "SaveAs"},
                   {AddToAnimationHotkey, "AddT"}, {FileMenu, "File1"},
                   {OptionsMenu, "Options1"},      {NewAction, "New1"},
                   {OpenAction, "Open1"},          {SaveAction, "Save1"},
                   {SaveAsAction, "SaveAs1"},      {AddToAnimationAction, "AddToAnimation1"},
                   {ExitAction, "Exit1"},          {UndoAction, "Undo1"},
                   {EditModeAction, "EditMode1"}});
  resize(DesignWidth, DesignHeight);
  FormResize();
  FormCreate();
}

TFigureBuilderForm::~TFigureBuilderForm() = default;

void TFigureBuilderForm::RunHandler(THandler Handler) {
  RunGuarded(Dialogs, this, [this, Handler] { (this->*Handler)(); });
}

void TFigureBuilderForm::Connect(QAction* Action, THandler Handler) {
  connect(Action, &QAction::triggered, this, [this, Handler] { RunHandler(Handler); });
}

QPushButton* TFigureBuilderForm::MakeHotkeyButton(const QString& Caption, int Slot, THandler Handler) {
  auto* button = new QPushButton(Caption, ToolPanel);
  // Left of the tool column's visible area: never seen, never focused, but
  // shown and enabled, so its Alt+letter mnemonic still clicks it.
  button->setGeometry(-100 - 30 * Slot, 8, 25, 25);
  button->setFocusPolicy(Qt::NoFocus);
  connect(button, &QPushButton::clicked, this, [this, Handler] { RunHandler(Handler); });
  return button;
}

// NOLINTNEXTLINE(readability-function-size): listed in .clang-tidy
void TFigureBuilderForm::CreateControls() {
  auto* client = new QWidget(this);
  setCentralWidget(client);

  ToolPanel = new QFrame(client);
  ToolPanel->setFrameStyle(QFrame::Panel | QFrame::Raised);
  ToolPanel->setGeometry(0, 0, 49, 305);

  auto toolButton = [this](int Top, TButtonPicture Picture, const QString& Hint, THandler Handler) {
    auto* button = new QToolButton(ToolPanel);
    button->setGeometry(9, Top, 31, 31);
    button->setIcon(QIcon(MakeButtonPicture(Picture)));
    button->setIconSize(QSize(ButtonPictureSize, ButtonPictureSize));
    button->setToolTip(Hint);
    button->setFocusPolicy(Qt::NoFocus);
    connect(button, &QToolButton::clicked, this, [this, Handler] { RunHandler(Handler); });
    return button;
  };
  LineButton = toolButton(8, TButtonPicture::AddLine, QStringLiteral("add line"), &TFigureBuilderForm::LineButtonClick);
  CircleButton =
      toolButton(48, TButtonPicture::AddCircle, QStringLiteral("add circle"), &TFigureBuilderForm::CircleButtonClick);
  ChangeKindButton = toolButton(104, TButtonPicture::ChangeKind, QStringLiteral("toggle segment kind"),
                                &TFigureBuilderForm::ChangeKindButtonClick);
  ThicknessUpDown = new TUpDown(ToolPanel);
  ThicknessUpDown->setGeometry(9, 144, 31, 31);
  ThicknessUpDown->SetRange(0, 100);
  ThicknessUpDown->setToolTip(QStringLiteral("change segment thickness"));
  connect(ThicknessUpDown, &TUpDown::Click, this, [this] { RunHandler(&TFigureBuilderForm::ThicknessUpDownClick); });
  DuplicateButton = toolButton(184, TButtonPicture::Duplicate, QStringLiteral("duplicate segment"),
                               &TFigureBuilderForm::DuplicateButtonClick);
  ChangeStaticButton = toolButton(224, TButtonPicture::ChangeStatic, QStringLiteral("static / dynamic segment"),
                                  &TFigureBuilderForm::ChangeStaticButtonClick);
  DeleteButton =
      toolButton(264, TButtonPicture::Delete, QStringLiteral("delete segment"), &TFigureBuilderForm::DeleteButtonClick);

  LineHotkey = MakeHotkeyButton(QStringLiteral("&L"), 0, &TFigureBuilderForm::LineButtonClick);
  CircleHotkey = MakeHotkeyButton(QStringLiteral("&C"), 1, &TFigureBuilderForm::CircleButtonClick);
  ChangeKindHotkey = MakeHotkeyButton(QStringLiteral("&T"), 2, &TFigureBuilderForm::ChangeKindButtonClick);
  DuplicateHotkey = MakeHotkeyButton(QStringLiteral("&D"), 3, &TFigureBuilderForm::DuplicateButtonClick);
  ChangeStaticHotkey = MakeHotkeyButton(QStringLiteral("&W"), 4, &TFigureBuilderForm::ChangeStaticButtonClick);
  DeleteHotkey = MakeHotkeyButton(QStringLiteral("&F"), 5, &TFigureBuilderForm::DeleteButtonClick);
  EditModeHotkey = MakeHotkeyButton(QStringLiteral("&E"), 6, &TFigureBuilderForm::EditModeClick);
  NewHotkey = MakeHotkeyButton(QStringLiteral("&N"), 7, &TFigureBuilderForm::NewClick);
  OpenHotkey = MakeHotkeyButton(QStringLiteral("&O"), 8, &TFigureBuilderForm::OpenClick);
  SaveHotkey = MakeHotkeyButton(QStringLiteral("&S"), 9, &TFigureBuilderForm::SaveClick);
  SaveAsHotkey = MakeHotkeyButton(QStringLiteral("&G"), 10, &TFigureBuilderForm::SaveAsClick);
  AddToAnimationHotkey = MakeHotkeyButton(QStringLiteral("&A"), 11, &TFigureBuilderForm::AddToAnimationClick);

  FigureImage = new TPictureBox(client);
  FigureImage->setGeometry(56, 0, 321, 305);
  FigureImage->SetPicture(QImage(321, 305, QImage::Format_RGB32));
  connect(FigureImage, &TPictureBox::MouseDown, this,
          [this](Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y) {
            RunGuarded(Dialogs, this, [&] { FigureImageMouseDown(Button, Shift, X, Y); });
          });
  connect(FigureImage, &TPictureBox::MouseMove, this, [this](Qt::KeyboardModifiers Shift, int X, int Y) {
    RunGuarded(Dialogs, this, [&] { FigureImageMouseMove(Shift, X, Y); });
  });
  connect(FigureImage, &TPictureBox::MouseUp, this,
          [this](Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y) {
            RunGuarded(Dialogs, this, [&] { FigureImageMouseUp(Button, Shift, X, Y); });
          });

  StatusPanel = new QFrame(client);
  StatusPanel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  StatusPanel->setGeometry(0, 312, 105, 25);
  StatusLabel = new QLabel(StatusPanel);
  StatusLabel->move(8, 6);
}

void TFigureBuilderForm::DescribeControls() {
  // Each control's tooltip and each menu item's key come from the one table
  // the Keyboard Shortcuts window shows too.
  const QList<THotkeyRow>& rows = BuilderHotkeys();
  QWidget* controls[] = {LineButton,      CircleButton,       ChangeKindButton, ThicknessUpDown,
                         DuplicateButton, ChangeStaticButton, DeleteButton};
  for (int i = 0; i < 7; ++i) controls[i]->setToolTip(HotkeyTip(rows[i]));
  QAction* items[] = {NewAction, OpenAction, SaveAction, SaveAsAction, AddToAnimationAction, EditModeAction};
  for (int i = 0; i < 6; ++i) {
    // Shown in the menu; the hotkey button beside it does the work, so the
    // key counts only while the menu itself has the focus.
    items[i]->setShortcut(QKeySequence(rows[7 + i].Keys));
    items[i]->setShortcutContext(Qt::WidgetShortcut);
    items[i]->setToolTip(HotkeyTip(rows[7 + i]));
  }
}

void TFigureBuilderForm::CreateMenus() {
  // The menu titles carry no mnemonics: every Alt+letter belongs to a hotkey button.
  FileMenu = menuBar()->addMenu(QStringLiteral("File"));
  NewAction = FileMenu->addAction(QStringLiteral("New"));
  FileMenu->addSeparator();
  OpenAction = FileMenu->addAction(QStringLiteral("Open"));
  SaveAction = FileMenu->addAction(QStringLiteral("Save"));
  SaveAsAction = FileMenu->addAction(QStringLiteral("Save As"));
  AddToAnimationAction = FileMenu->addAction(QStringLiteral("Add To Animation"));
  FileMenu->addSeparator();
  ExitAction = FileMenu->addAction(QStringLiteral("Close"));
  OptionsMenu = menuBar()->addMenu(QStringLiteral("Options"));
  UndoAction = OptionsMenu->addAction(QStringLiteral("Undo"));
  UndoAction->setEnabled(false);
  EditModeAction = OptionsMenu->addAction(QStringLiteral("Edit Mode"));
  EditModeAction->setCheckable(true);

  Connect(NewAction, &TFigureBuilderForm::NewClick);
  Connect(OpenAction, &TFigureBuilderForm::OpenClick);
  Connect(SaveAction, &TFigureBuilderForm::SaveClick);
  Connect(SaveAsAction, &TFigureBuilderForm::SaveAsClick);
  Connect(AddToAnimationAction, &TFigureBuilderForm::AddToAnimationClick);
  Connect(ExitAction, &TFigureBuilderForm::ExitClick);
  Connect(UndoAction, &TFigureBuilderForm::UndoClick);
  Connect(EditModeAction, &TFigureBuilderForm::EditModeClick);
}

void TFigureBuilderForm::FormCreate() {
  Initialize();
  Created = true;
}

void TFigureBuilderForm::Initialize() {
  GrabbedHandle = NoHandle;
  ChoosingStartVertex = false;
  PlacingSegment = false;
  Duplicating = false;
  MoveUndoPending = false;
  EditMode = EditModeAction->isChecked();
  FigureFileName.clear();
  SelectedSegment = 0;
  ThicknessUpDown->SetPosition(5);
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
  UndoAction->setEnabled(false);
  // A reset may interrupt an add or a duplicate: nothing of it stays on.
  ShowModeCues();
  DisplaySegmentData();
}

void TFigureBuilderForm::EditFigureType(const TFigureType& Source) {
  if (Source.SegmentCount() == 0) {
    // A type in use always has a segment; an empty one gives the start figure.
    Initialize();
    ShowInFront();
    return;
  }
  Type().Assign(Source);
  SetUndoCaption(QStringLiteral("Undo"));
  UndoAction->setEnabled(false);
  // Whatever add, duplicate or drag was pending referred to the old type.
  EndPendingModes();
  SelectedSegment = 0;
  FigureFileName.clear();

  ShowLoadedType();
  ShowInFront();
}

void TFigureBuilderForm::ShowLoadedType() {
  EraseFigure();
  WorkFigure = TFigure{};
  WorkFigure.SetType(0, Working);
  const QRect area = PictureRect();
  const int middleX = area.width() / 2, middleY = area.height() / 2;
  WorkFigure.MoveBy(RealPoint(static_cast<float>(middleX), static_cast<float>(middleY)));
  ThicknessUpDown->SetPosition(TruncNumber(Type().Segments[0].Thickness));
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
  FigureImage->setGeometry(56, 0, areaWidth, areaHeight);
  if (FigureImage->Picture().size() != QSize(areaWidth, areaHeight))
    FigureImage->SetPicture(QImage(areaWidth, areaHeight, QImage::Format_RGB32));
  StatusPanel->setGeometry(0, h - ThemeOffset() - 71, std::max(0, w - 8), 25);
  if (Created) {
    // The figure keeps its coordinates: a bigger area shows more room.
    EraseFigure();
    DrawFigure();
  } else {
    FigureImage->Picture().fill(Qt::white);
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
  StatusLabel->setText(text);
  StatusLabel->adjustSize();
}

void TFigureBuilderForm::ShowStatus() {
  if (PlacingSegment)
    StatusLabel->setText(QStringLiteral("click to add"));
  else if (ChoosingStartVertex)
    StatusLabel->setText(QStringLiteral("select a starting handle"));
  else if (Duplicating)
    StatusLabel->setText(QStringLiteral("select a handle to attach segment"));
  else
    return DisplaySegmentData();
  StatusLabel->adjustSize();
}

void TFigureBuilderForm::SetMousePos(QPoint Point) {
  // Platforms that do not let a program move the pointer ignore the request.
  QCursor::setPos(centralWidget()->mapToGlobal(Point));
}

void TFigureBuilderForm::EnableSelectedSegmentButtons(bool Enabled) {
  const std::array<QWidget*, 5> buttons = {ChangeKindButton, DeleteButton, DuplicateButton, ThicknessUpDown,
                                           ChangeStaticButton};
  for (QWidget* control : buttons) control->setEnabled(Enabled);
}

void TFigureBuilderForm::ShowModeCues() {
  const bool pending = ChoosingStartVertex || PlacingSegment || Duplicating;
  if (pending)
    FigureImage->setCursor(Qt::CrossCursor);
  else
    FigureImage->setCursor(Qt::ArrowCursor);
  EnableSelectedSegmentButtons(!pending);
}

void TFigureBuilderForm::EndPendingModes() {
  ChoosingStartVertex = false;
  PlacingSegment = false;
  Duplicating = false;
  GrabbedHandle = NoHandle;
  MoveUndoPending = false;
  ShowModeCues();
}

void TFigureBuilderForm::SetUndoCaption(const QString& Caption) { UndoAction->setText(Caption); }

QRect TFigureBuilderForm::PictureRect() const { return FigureImage->Picture().rect(); }
