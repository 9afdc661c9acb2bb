// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The main window, the shell that assembles the features: it makes the
// controls (TMainControls), owns the document and the windows it opens, and
// makes one controller per feature, each given only what it needs. The
// controllers' handlers are their slots, reached by the menu entries,
// buttons and hotkeys; tests reach them through the accessors below or by
// triggering the controls. A new feature is a new controller in its own
// file. Where each feature lives: docs/architecture.md.

#include <QMainWindow>
#include <QStringList>
#include <memory>

#include "builder/FigureTypeHost.h"
#include "editor/MainControls.h"
#include "model/Document.h"
#include "platform/Shell.h"

class TAboutBox;
class TBackgroundController;
class TCanvasController;
class TClipboardController;
class TDialogs;
class TExportController;
class TFigureBuilderForm;
class TFiguresController;
class TFramesController;
class TGifOptionsForm;
class THistoryController;
class TOptionsForm;
class TPlaybackController;
class TProgressForm;
class TProjectController;
class TWindowsController;

class TMainForm : public QMainWindow, public TFigureTypeHost {
  Q_OBJECT
 public:
  // Dialogs answers the window's questions and shows its messages; Shell
  // opens the ReadMe file (tests give one that records the request).
  explicit TMainForm(TDialogs& Dialogs, TShell& Shell = DesktopShell(), QWidget* Parent = nullptr);
  ~TMainForm() override;

  // The document this window shows and edits.
  TDocument& Document() { return Doc; }
  const TDocument& Document() const { return Doc; }
  const TAnimation& Animation() const { return Doc.Animation(); }
  // The controls, for tests.
  const TMainControls& Controls() const { return Ui; }

  // The features.
  TCanvasController& Canvas() { return *CanvasPart; }
  TFiguresController& Figures() { return *FiguresPart; }
  TFramesController& Frames() { return *FramesPart; }
  TPlaybackController& Playback() { return *PlaybackPart; }
  TClipboardController& Clipboard() { return *ClipboardPart; }
  TProjectController& Project() { return *ProjectPart; }
  TExportController& Exports() { return *ExportPart; }
  TBackgroundController& Background() { return *BackgroundPart; }
  THistoryController& History() { return *HistoryPart; }
  TWindowsController& Windows() { return *WindowsPart; }

  // The windows this one opens, made with it and living as long as it: the
  // figure builder, the export options and progress windows, the About box
  // and the dimensions window.
  TFigureBuilderForm& FigureBuilder() { return *BuilderWindow; }
  TGifOptionsForm& ExportOptions() { return *ExportOptionsWindow; }
  TProgressForm& Progress() { return *ProgressWindow; }
  TAboutBox& About() { return *AboutWindow; }
  TOptionsForm& Dimensions() { return *DimensionsWindow; }

  // The arguments the program was started with, without the program itself.
  QStringList CommandLine;

  // A new animation of the drawing area's design size, with nothing to save.
  void FormCreate();
  // The first activation opens the file the command line names, after
  // Starting has been sent.
  void FormActivate();
  void FormResize();

  // TFigureTypeHost: the figure type list for the builder.
  QStringList FigureTypeNames() const override;
  void AddFigureType(const TFigureType& Type, const QString& Name) override;

 signals:
  // The window is first activated; the file the command line names opens next.
  void Starting();
  // The window has closed; the program ends.
  void Closed();

 protected:
  bool event(QEvent* Event) override;
  void resizeEvent(QResizeEvent* Event) override;
  void closeEvent(QCloseEvent* Event) override;

 private:
  void CreateWindows();
  void CreateControllers();
  // Connects what one controller says to what others follow.
  void ConnectControllers();
  void OpenCommandLine();

  TMainControls Ui;
  TDocument Doc;
  TDialogs& Dialogs;
  TShell& Shell;
  bool FirstActivation = true;
  // The windows this one opens. The builder is a window of its own; the
  // others are children, deleted with this window.
  std::unique_ptr<TFigureBuilderForm> BuilderWindow;
  TGifOptionsForm* ExportOptionsWindow = nullptr;
  TProgressForm* ProgressWindow = nullptr;
  TAboutBox* AboutWindow = nullptr;
  TOptionsForm* DimensionsWindow = nullptr;
  // The features; they go before the document and the windows they use.
  std::unique_ptr<TCanvasController> CanvasPart;
  std::unique_ptr<TFiguresController> FiguresPart;
  std::unique_ptr<TFramesController> FramesPart;
  std::unique_ptr<TPlaybackController> PlaybackPart;
  std::unique_ptr<TClipboardController> ClipboardPart;
  std::unique_ptr<TProjectController> ProjectPart;
  std::unique_ptr<TExportController> ExportPart;
  std::unique_ptr<TBackgroundController> BackgroundPart;
  std::unique_ptr<THistoryController> HistoryPart;
  std::unique_ptr<TWindowsController> WindowsPart;
};
