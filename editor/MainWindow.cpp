// SPDX-License-Identifier: GPL-3.0-or-later
// Start-up, new and discarded projects, the enabled state of the figure
// controls, layout on resize, figure selection with the mouse wheel, Undo and
// Redo, closing.

#include <QAbstractScrollArea>
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFile>
#include <QFrame>
#include <QGroupBox>
#include <QKeyEvent>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QSpinBox>
#include <QStatusBar>
#include <QTimer>
#include <QWheelEvent>

#include "builder/FigureBuilderUnit.h"
#include "editor/AboutUnit.h"
#include "editor/MainUnit.h"
#include "editor/OptionsUnit.h"
#include "export/windows/GifSaveUnit.h"
#include "export/windows/ProgressUnit.h"
#include "model/Common.h"
#include "model/Pictures.h"
#include "platform/ObjectNames.h"
#include "platform/PictureBox.h"

TMainForm::TMainForm(TDialogs& DialogService, TShell& DesktopShell, QWidget* Parent)
    : QMainWindow(Parent), Dialogs(DialogService), Shell(DesktopShell) {
  ShowTitle();
  QFont small = font();
  small.setPointSize(8);
  setFont(small);
  CreateControls();
  CreateMenu();
  ConnectHandlers();
  DescribeControls();
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
  FollowDocument();
  resize(664, 569);
  if (const QScreen* screen = QGuiApplication::primaryScreen())
    move(screen->availableGeometry().center() - rect().center());
  CreateWindows();
  qApp->installEventFilter(this);
  FormCreate();
}

TMainForm::~TMainForm() { qApp->removeEventFilter(this); }

void TMainForm::CreateWindows() {
  BuilderWindow = std::make_unique<TFigureBuilderForm>(Dialogs, this);
  ProgressWindow = new TProgressForm(this);
  ExportOptionsWindow = new TGifOptionsForm(Dialogs, *ProgressWindow, this);
  AboutWindow = new TAboutBox(this);
  DimensionsWindow = new TOptionsForm(*this, Dialogs, this);
}

void TMainForm::FormCreate() {
  FirstActivation = true;
  // A new animation of the drawing area's design size, with nothing to save.
  TAnimation animation = NewAnimation();
  TEditState start = TDocument::StartState(animation);
  Doc.Reset(std::move(animation), std::move(start));
}

namespace {
// A picture of Size to take Current's place: Current itself when it already
// fits, so nothing new is needed, else a new one.
QImage PictureFor(const QImage& Current, QSize Size) {
  if (Current.size() == Size && Current.format() == QImage::Format_RGB32) return Current;
  return NewPicture(Size);
}
}  // namespace

TMainForm::TDrawingPictures TMainForm::MakeDrawingPictures(QSize Size) const {
  return {PictureFor(Underlay, Size), PictureFor(Ui.EditImage->Picture(), Size)};
}

void TMainForm::SizeEditImage(QImage&& Picture) {
  Ui.EditImage->Picture() = std::move(Picture);
  const QSize size = Ui.EditImage->ScreenSize();
  Ui.EditImage->resize(size);
  Ui.EditImage->parentWidget()->resize(size + QSize(4, 4));
}

void TMainForm::NewProject() {
  // The new animation keeps the size; its pictures come first: when one
  // cannot be made, nothing has changed.
  TAnimation animation;
  animation.Width = Animation().Width;
  animation.Height = Animation().Height;
  animation.Background = TAnimation::WhiteBackground(animation.Size());
  MadePictures = MakeDrawingPictures(animation.Size());
  if (!DestroyProject()) {
    MadePictures.reset();
    return;
  }
  SetScaleEditFromScale(1.0f);
  ColorDialogState.Color = ColorBlack;
  Doc.SetFilePath(QString());
  TEditState start = TDocument::StartState(animation);
  Doc.Reset(std::move(animation), std::move(start));
}

bool TMainForm::DestroyProject() { return Doc.IsSaved() || SaveProjectAsTvl(); }

void TMainForm::EnableFigureControls(bool Enable) {
  if (FigureControlsEnabled == Enable) return;
  FigureControlsEnabled = Enable;
  // During playback the controls stay off; Stop applies the recorded state.
  if (Ui.PlaybackTimer->isActive()) return;
  for (QWidget* control : FigureControls()) control->setEnabled(Enable);
}

std::array<QWidget*, 8> TMainForm::FigureControls() const {
  return {Ui.DeleteFigureButton, Ui.EditTypeButton, Ui.CenterButton, Ui.FlipButton,
          Ui.ColorButton,        Ui.ScaleSpinEdit,  Ui.FrontButton,  Ui.BackButton};
}

void TMainForm::SetFigureControls(int Index) {
  const TFigures& frame = Doc.WorkingFrame();
  if (frame.Count() == 0 || Index < 0 || Index >= frame.Count()) return;
  SetScaleEditFromScale(frame.Items[static_cast<std::size_t>(Index)].Scale);
  ColorDialogState.Color = frame.Items[static_cast<std::size_t>(Index)].Color;
}

namespace {
bool StartsLikeAProject(const QString& Path) {
  QFile file(Path);
  return file.open(QIODevice::ReadOnly) && file.read(2) == QByteArray("\x78\xda", 2);
}
}  // namespace

void TMainForm::FormActivate() {
  if (!FirstActivation) return;
  FirstActivation = false;
  if (BeforeCommandLine) BeforeCommandLine();
  if (CommandLine.isEmpty()) return;
  const QString path = CommandLine.constFirst();
  const QString ending = path.right(3).toLower();
  if (ending == "tvl" || (ending != "stk" && StartsLikeAProject(path))) {
    // A project renamed without its ending is known by its first bytes, as
    // the desktop knows it when the file is opened from a file manager.
    LoadProject(path);
  } else if (ending == "stk") {
    BuilderWindow->ShowInFront();
    BuilderWindow->OpenFigure(path);
  } else {
    Dialogs.ShowMessage(this, "that is not a tvl or stk file");
  }
}

void TMainForm::FormResize() {
  Ui.TimelineScrollBox->resize(width() - 24, Ui.TimelineScrollBox->height());
  Ui.DrawingScrollBox->resize(width() - Ui.DrawingScrollBox->x() - 16, height() - Ui.DrawingScrollBox->y() - 56);
}

void TMainForm::FormMouseWheelDown() {
  const int count = Doc.WorkingFrame().Count();
  if (count < 2) return;
  const int selected = Doc.SelectedFigure();
  Doc.Select(selected == 0 ? count - 1 : selected - 1);
}

void TMainForm::FormMouseWheelUp() {
  const int count = Doc.WorkingFrame().Count();
  if (count < 2) return;
  const int selected = Doc.SelectedFigure();
  Doc.Select(selected + 1 >= count ? 0 : selected + 1);
}

void TMainForm::UndoClick() {
  // A note that Undo brings dropped edits back has done its work.
  statusBar()->clearMessage();
  Doc.Undo();
}

void TMainForm::RedoClick() { Doc.Redo(); }

void TMainForm::PrepareHistoryStep(QSize SizeAfter) {
  if (Ui.PlaybackTimer->isActive()) StopButtonClick();
  // A drag in progress ends here: the step it would merge into is going.
  SelectedHandle = NoHandle;
  // The pictures of the size the step leads to are made first.
  if (SizeAfter != Animation().Size()) MadePictures = MakeDrawingPictures(SizeAfter);
}

bool TMainForm::FormClose() { return Doc.IsSaved() || SaveProjectAsTvl(); }

bool TMainForm::HandleWheel(QWheelEvent* Event) {
  // One notch is 120; finer wheels and touchpads add up to whole notches.
  WheelRemainder += Event->angleDelta().y();
  while (WheelRemainder >= 120) {
    WheelRemainder -= 120;
    Guard([this] { FormMouseWheelUp(); });
  }
  while (WheelRemainder <= -120) {
    WheelRemainder += 120;
    Guard([this] { FormMouseWheelDown(); });
  }
  return true;
}

namespace {
bool IsHistoryKey(const QKeyEvent* Key) {
  const QKeyCombination combination = Key->keyCombination();
  return QKeySequence(combination) == QKeySequence(Qt::CTRL | Qt::Key_Z) ||
         QKeySequence(combination) == QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z) ||
         QKeySequence(combination) == QKeySequence(Qt::CTRL | Qt::Key_Y);
}
}  // namespace

bool TMainForm::eventFilter(QObject* Watched, QEvent* Event) {
  const bool inThisWindow = Watched->isWidgetType() && static_cast<QWidget*>(Watched)->window() == this;
  // Every wheel turn over this window selects figures, whether the window is
  // active or not; nothing in it scrolls or steps with the wheel.
  if (Event->type() == QEvent::Wheel && inThisWindow) return HandleWheel(static_cast<QWheelEvent*>(Event));
  // The history keys undo the animation wherever the focus is, also in the
  // type list and the scale edit, whose own text undo is not what is meant.
  if (Event->type() == QEvent::ShortcutOverride && inThisWindow && IsHistoryKey(static_cast<QKeyEvent*>(Event))) {
    Event->ignore();
    return true;
  }
  return QMainWindow::eventFilter(Watched, Event);
}

bool TMainForm::event(QEvent* Event) {
  const bool result = QMainWindow::event(Event);
  if (Event->type() == QEvent::WindowActivate) Guard([this] { FormActivate(); });
  // Where no window manager activates the window (or one that keeps new
  // windows from taking the focus), the first showing stands in for the
  // first activation, once the window is on the screen.
  if (Event->type() == QEvent::Show && FirstActivation)
    QTimer::singleShot(0, this, [this] { Guard([this] { FormActivate(); }); });
  return result;
}

void TMainForm::resizeEvent(QResizeEvent* Event) {
  QMainWindow::resizeEvent(Event);
  FormResize();
}

void TMainForm::closeEvent(QCloseEvent* Event) {
  bool close = true;
  Guard([&] { close = FormClose(); });
  if (!close) {
    Event->ignore();
    return;
  }
  Event->accept();
  emit Closed();
}

QStringList TMainForm::FigureTypeNames() const { return Animation().Types.ListedNames(); }

void TMainForm::AddFigureType(const TFigureType& Type, const QString& Name) {
  Doc.AddFigureType(std::make_shared<const TFigureType>(Type), Name, QStringLiteral("Add To Animation"));
}
