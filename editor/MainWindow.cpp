// SPDX-License-Identifier: GPL-3.0-or-later
// The shell: making the controls, the windows and the controllers, start-up
// and the file named on the command line, layout on resize, closing.

#include <QCloseEvent>
#include <QFile>
#include <QGuiApplication>
#include <QScreen>
#include <QScrollArea>
#include <QTimer>

#include "builder/FigureBuilderUnit.h"
#include "editor/AboutUnit.h"
#include "editor/BackgroundController.h"
#include "editor/CanvasController.h"
#include "editor/ClipboardController.h"
#include "editor/ExportController.h"
#include "editor/FiguresController.h"
#include "editor/FramesController.h"
#include "editor/HistoryController.h"
#include "editor/MainUnit.h"
#include "editor/OptionsUnit.h"
#include "editor/PlaybackController.h"
#include "editor/ProjectController.h"
#include "editor/WindowsController.h"
#include "export/windows/GifSaveUnit.h"
#include "export/windows/ProgressUnit.h"
#include "platform/Dialogs.h"
#include "platform/ErrorReport.h"

TMainForm::TMainForm(TDialogs& DialogService, TShell& DesktopShell, QWidget* Parent)
    : QMainWindow(Parent), Dialogs(DialogService), Shell(DesktopShell) {
  QFont small = font();
  small.setPointSize(8);
  setFont(small);
  BuildMainControls(*this, Ui);
  resize(664, 569);
  if (const QScreen* screen = QGuiApplication::primaryScreen())
    move(screen->availableGeometry().center() - rect().center());
  CreateWindows();
  CreateControllers();
  ConnectControllers();
  FormCreate();
}

TMainForm::~TMainForm() = default;

void TMainForm::CreateWindows() {
  BuilderWindow = std::make_unique<TFigureBuilderForm>(Dialogs, this);
  ProgressWindow = new TProgressForm(this);
  ExportOptionsWindow = new TGifOptionsForm(Dialogs, *ProgressWindow, this);
  AboutWindow = new TAboutBox(this);
}

void TMainForm::CreateControllers() {
  const TWiring wiring(Dialogs, this);
  CanvasPart = std::make_unique<TCanvasController>(Doc, Ui, wiring, *this);
  FiguresPart = std::make_unique<TFiguresController>(Doc, Ui, wiring, *BuilderWindow);
  FramesPart = std::make_unique<TFramesController>(Doc, Ui, wiring);
  PlaybackPart = std::make_unique<TPlaybackController>(Doc, Ui, wiring);
  ClipboardPart = std::make_unique<TClipboardController>(Doc, Ui, wiring, *FramesPart);
  ProjectPart = std::make_unique<TProjectController>(Doc, Ui, wiring, *this, *CanvasPart);
  ExportPart =
      std::make_unique<TExportController>(Doc, Ui, wiring, *ProjectPart, *ExportOptionsWindow, *ProgressWindow);
  BackgroundPart = std::make_unique<TBackgroundController>(Doc, Ui, wiring, *CanvasPart);
  HistoryPart = std::make_unique<THistoryController>(Doc, Ui, wiring, *this);
  DimensionsWindow = new TOptionsForm(Doc, *BackgroundPart, Dialogs, this);
  WindowsPart =
      std::make_unique<TWindowsController>(Ui, wiring, Shell, *BuilderWindow, *DimensionsWindow, *AboutWindow);
}

void TMainForm::ConnectControllers() {
  connect(PlaybackPart.get(), &TPlaybackController::PlayingChanged, CanvasPart.get(),
          &TCanvasController::PlaybackChanged);
  connect(PlaybackPart.get(), &TPlaybackController::PlayingChanged, FiguresPart.get(),
          &TFiguresController::PlaybackChanged);
  connect(PlaybackPart.get(), &TPlaybackController::PlayingChanged, FramesPart.get(),
          &TFramesController::PlaybackChanged);
  // Save without a file asks for one as Save Animation does.
  connect(ProjectPart.get(), &TProjectController::SaveAsRequested, ExportPart.get(),
          [this] { RunGuarded(Dialogs, this, [this] { ExportPart->SaveAnimationClick(); }); });
}

void TMainForm::FormCreate() {
  FirstActivation = true;
  TAnimation animation = NewAnimation();
  TEditState start = TDocument::StartState(animation);
  Doc.Reset(std::move(animation), std::move(start));
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
  emit Starting();
  if (!CommandLine.isEmpty()) OpenCommandLine();
}

void TMainForm::OpenCommandLine() {
  const QString path = CommandLine.constFirst();
  const QString ending = path.right(3).toLower();
  if (ending == "tvl" || (ending != "stk" && StartsLikeAProject(path))) {
    // A project renamed without its ending is known by its first bytes, as
    // the desktop knows it when the file is opened from a file manager.
    ProjectPart->LoadProject(path);
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

bool TMainForm::event(QEvent* Event) {
  const bool result = QMainWindow::event(Event);
  if (Event->type() == QEvent::WindowActivate) RunGuarded(Dialogs, this, [this] { FormActivate(); });
  // Where no window manager activates the window (or one that keeps new
  // windows from taking the focus), the first showing stands in for the
  // first activation, once the window is on the screen.
  if (Event->type() == QEvent::Show && FirstActivation)
    QTimer::singleShot(0, this, [this] { RunGuarded(Dialogs, this, [this] { FormActivate(); }); });
  return result;
}

void TMainForm::resizeEvent(QResizeEvent* Event) {
  QMainWindow::resizeEvent(Event);
  FormResize();
}

void TMainForm::closeEvent(QCloseEvent* Event) {
  // False when the window must stay open (the save question was cancelled).
  bool close = true;
  RunGuarded(Dialogs, this, [&] { close = ProjectPart->DestroyProject(); });
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
