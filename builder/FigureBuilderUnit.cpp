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

#include "builder/ButtonPictures.h"
#include "builder/UpDown.h"
#include "model/Common.h"
#include "model/Rounding.h"
#include "platform/ErrorReport.h"
#include "platform/PictureBox.h"

TFigureBuilderForm::TFigureBuilderForm(TDialogs& Dialogs, TFigureTypeHost* Host, QWidget* Parent)
    : QMainWindow(Parent), Dialogs(Dialogs), Host(Host) {
  setWindowTitle(QStringLiteral("Stick Figure Builder"));
  // Closing the builder only hides it; it never ends the program.
  setAttribute(Qt::WA_QuitOnClose, false);
  CreateControls();
  CreateMenus();
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
  auto* button = new QPushButton(Caption, Panel1);
  // Left of the tool column's visible area: never seen, never focused, but
  // shown and enabled, so its Alt+letter mnemonic still clicks it.
  button->setGeometry(-100 - 30 * Slot, 8, 25, 25);
  button->setFocusPolicy(Qt::NoFocus);
  connect(button, &QPushButton::clicked, this, [this, Handler] { RunHandler(Handler); });
  return button;
}

void TFigureBuilderForm::CreateControls() {
  auto* client = new QWidget(this);
  setCentralWidget(client);

  Panel1 = new QFrame(client);
  Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
  Panel1->setGeometry(0, 0, 49, 305);

  auto toolButton = [this](int Top, TButtonPicture Picture, const QString& Hint, THandler Handler) {
    auto* button = new QToolButton(Panel1);
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
  UpDown1 = new TUpDown(Panel1);
  UpDown1->setGeometry(9, 144, 31, 31);
  UpDown1->SetRange(0, 100);
  UpDown1->setToolTip(QStringLiteral("change segment thickness"));
  connect(UpDown1, &TUpDown::Click, this, [this] { RunHandler(&TFigureBuilderForm::UpDown1Click); });
  DuplicateButton = toolButton(184, TButtonPicture::Duplicate, QStringLiteral("duplicate segment"),
                               &TFigureBuilderForm::DuplicateButtonClick);
  ChangeStaticButton = toolButton(224, TButtonPicture::ChangeStatic, QStringLiteral("static / dynamic segment"),
                                  &TFigureBuilderForm::ChangeStaticButtonClick);
  DeleteButton = toolButton(264, TButtonPicture::Delete, QStringLiteral("delete segment"),
                            &TFigureBuilderForm::DeleteButtonClick);

  SimpleL = MakeHotkeyButton(QStringLiteral("&L"), 0, &TFigureBuilderForm::LineButtonClick);
  SimpleC = MakeHotkeyButton(QStringLiteral("&C"), 1, &TFigureBuilderForm::CircleButtonClick);
  SimpleT = MakeHotkeyButton(QStringLiteral("&T"), 2, &TFigureBuilderForm::ChangeKindButtonClick);
  SimpleD = MakeHotkeyButton(QStringLiteral("&D"), 3, &TFigureBuilderForm::DuplicateButtonClick);
  SimpleS = MakeHotkeyButton(QStringLiteral("&W"), 4, &TFigureBuilderForm::ChangeStaticButtonClick);
  SimpleDe = MakeHotkeyButton(QStringLiteral("&F"), 5, &TFigureBuilderForm::DeleteButtonClick);
  Editm = MakeHotkeyButton(QStringLiteral("&E"), 6, &TFigureBuilderForm::EditMode1Click);
  FileN = MakeHotkeyButton(QStringLiteral("&N"), 7, &TFigureBuilderForm::New1Click);
  OpenT = MakeHotkeyButton(QStringLiteral("&O"), 8, &TFigureBuilderForm::Open1Click);
  SaveThis = MakeHotkeyButton(QStringLiteral("&S"), 9, &TFigureBuilderForm::Save1Click);
  SaveAs = MakeHotkeyButton(QStringLiteral("&G"), 10, &TFigureBuilderForm::SaveAs1Click);
  AddT = MakeHotkeyButton(QStringLiteral("&A"), 11, &TFigureBuilderForm::AddToAnimation1Click);

  Image1 = new TPictureBox(client);
  Image1->setGeometry(56, 0, 321, 305);
  Image1->SetPicture(QImage(321, 305, QImage::Format_RGB32));
  connect(Image1, &TPictureBox::MouseDown, this,
          [this](Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y) {
            RunGuarded(Dialogs, this, [&] { Image1MouseDown(Button, Shift, X, Y); });
          });
  connect(Image1, &TPictureBox::MouseMove, this, [this](Qt::KeyboardModifiers Shift, int X, int Y) {
    RunGuarded(Dialogs, this, [&] { Image1MouseMove(Shift, X, Y); });
  });
  connect(Image1, &TPictureBox::MouseUp, this,
          [this](Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y) {
            RunGuarded(Dialogs, this, [&] { Image1MouseUp(Button, Shift, X, Y); });
          });

  Panel2 = new QFrame(client);
  Panel2->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  Panel2->setGeometry(0, 312, 105, 25);
  Label1 = new QLabel(Panel2);
  Label1->move(8, 6);
}

void TFigureBuilderForm::CreateMenus() {
  // The menu titles carry no mnemonics: every Alt+letter belongs to a hotkey button.
  File1 = menuBar()->addMenu(QStringLiteral("File"));
  New1 = File1->addAction(QStringLiteral("New"));
  File1->addSeparator();
  Open1 = File1->addAction(QStringLiteral("Open"));
  Save1 = File1->addAction(QStringLiteral("Save"));
  SaveAs1 = File1->addAction(QStringLiteral("Save As"));
  AddToAnimation1 = File1->addAction(QStringLiteral("Add To Animation"));
  File1->addSeparator();
  Exit1 = File1->addAction(QStringLiteral("Close"));
  Options1 = menuBar()->addMenu(QStringLiteral("Options"));
  Undo1 = Options1->addAction(QStringLiteral("Undo"));
  Undo1->setEnabled(false);
  EditMode1 = Options1->addAction(QStringLiteral("Edit Mode"));
  EditMode1->setCheckable(true);

  Connect(New1, &TFigureBuilderForm::New1Click);
  Connect(Open1, &TFigureBuilderForm::Open1Click);
  Connect(Save1, &TFigureBuilderForm::Save1Click);
  Connect(SaveAs1, &TFigureBuilderForm::SaveAs1Click);
  Connect(AddToAnimation1, &TFigureBuilderForm::AddToAnimation1Click);
  Connect(Exit1, &TFigureBuilderForm::Exit1Click);
  Connect(Undo1, &TFigureBuilderForm::Undo1Click);
  Connect(EditMode1, &TFigureBuilderForm::EditMode1Click);
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
  EditMode = EditMode1->isChecked();
  FigureFileName.clear();
  SelectedSegment = 0;
  UpDown1->SetPosition(5);
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
  const TRealPoint root = RealPoint(static_cast<float>(area.width() / 2), static_cast<float>(area.height() / 2));
  WorkFigure.SetVertex(0, root);
  WorkFigure.SetVertex(1, RealPoint(root.X, root.Y - s.Length));
  WorkFigure.Angles[0] = AngleBetween(root, WorkFigure.Points()[1]);
  EraseFigure();
  DrawFigure();

  UndoFigureType = TFigureType{};
  UndoFigure = TFigure{};
  SetUndoCaption(QStringLiteral("Undo"));
  Undo1->setEnabled(false);
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
  Undo1->setEnabled(false);
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
  WorkFigure.MoveBy(RealPoint(static_cast<float>(area.width() / 2), static_cast<float>(area.height() / 2)));
  UpDown1->SetPosition(TruncNumber(Type().Segments[0].Thickness));
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
  Image1->setGeometry(56, 0, areaWidth, areaHeight);
  if (Image1->Picture().size() != QSize(areaWidth, areaHeight))
    Image1->SetPicture(QImage(areaWidth, areaHeight, QImage::Format_RGB32));
  Panel2->setGeometry(0, h - ThemeOffset() - 71, std::max(0, w - 8), 25);
  if (Created) {
    // The figure keeps its coordinates: a bigger area shows more room.
    EraseFigure();
    DrawFigure();
  } else {
    Image1->Picture().fill(Qt::white);
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
  Exit1Click();
}

void TFigureBuilderForm::Exit1Click() { hide(); }

void TFigureBuilderForm::DisplaySegmentData() {
  const TSegmentStruct& s = Type().Segments[SelectedSegment];
  QString text = s.Kind == SegmentLine ? QStringLiteral("line") : QStringLiteral("circle");
  text += QStringLiteral(": thickness ") + QString::number(TruncNumber(s.Thickness));
  text += QStringLiteral(", length ") + QString::number(TruncNumber(s.Length));
  text += StaticFlags[SelectedSegment] ? QStringLiteral(", static") : QStringLiteral(", dynamic");
  Label1->setText(text);
  Label1->adjustSize();
}

void TFigureBuilderForm::ShowStatus() {
  if (PlacingSegment)
    Label1->setText(QStringLiteral("click to add"));
  else if (ChoosingStartVertex)
    Label1->setText(QStringLiteral("select a starting handle"));
  else if (Duplicating)
    Label1->setText(QStringLiteral("select a handle to attach segment"));
  else
    return DisplaySegmentData();
  Label1->adjustSize();
}

void TFigureBuilderForm::SetMousePos(QPoint Point) {
  // Platforms that do not let a program move the pointer ignore the request.
  QCursor::setPos(centralWidget()->mapToGlobal(Point));
}

void TFigureBuilderForm::EnableSelectedSegmentButtons(bool Enabled) {
  const std::array<QWidget*, 5> buttons = {ChangeKindButton, DeleteButton, DuplicateButton, UpDown1,
                                            ChangeStaticButton};
  for (QWidget* control : buttons) control->setEnabled(Enabled);
}

void TFigureBuilderForm::ShowModeCues() {
  const bool pending = ChoosingStartVertex || PlacingSegment || Duplicating;
  if (pending)
    Image1->setCursor(Qt::CrossCursor);
  else
    Image1->setCursor(Qt::ArrowCursor);
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

void TFigureBuilderForm::SetUndoCaption(const QString& Caption) { Undo1->setText(Caption); }

QRect TFigureBuilderForm::PictureRect() const { return Image1->Picture().rect(); }
