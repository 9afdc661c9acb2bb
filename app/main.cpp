// SPDX-License-Identifier: GPL-3.0-or-later
// Tavel: frame-by-frame animation of jointed stick figures.
// Creates the windows, each once, and runs the event loop until the main
// window closes. With command-line options (--export, --help, --version) it
// runs the exporter instead, without any window or display.

#include <QApplication>
#include <QIcon>

#include "builder/FigureBuilderUnit.h"
#include "editor/MainRecoveryHost.h"
#include "editor/MainUnit.h"
#include "editor/RecoveryKeeper.h"
#include "export/CommandLine.h"
#include "platform/Dialogs.h"

int main(int argc, char** argv) {
  if (IsExportCommandLine(argc, argv)) {
    QCoreApplication app(argc, argv);
    return RunExportCommandLine(QCoreApplication::arguments());
  }
  QApplication app(argc, argv);
  QApplication::setApplicationName("Tavel");
  // Every window carries the program's icon; the desktop entry names it too.
  QIcon icon;
  for (const int size : {16, 32, 48, 64, 128, 256}) icon.addFile(QStringLiteral(":/icons/%1.png").arg(size));
  QApplication::setWindowIcon(icon);
  QGuiApplication::setDesktopFileName(QStringLiteral("org.tavel.Tavel"));
  QApplication::setQuitOnLastWindowClosed(false);

  TQtDialogs dialogs;
  // The main window makes the windows it opens (the figure builder, the
  // export, dimensions and About windows) with itself.
  TMainForm mainForm(dialogs);
  mainForm.CommandLine = QApplication::arguments().mid(1);
  // Unsaved work is kept in a recovery copy while the program runs; what a
  // crash left behind is offered when the main window first shows.
  TMainRecoveryHost recoveryHost(mainForm, &mainForm.FigureBuilder());
  TRecoveryKeeper recovery(mainForm.Document(), recoveryHost, dialogs, TRecoveryKeeper::DefaultFolder());
  // Asked by the system to end (a logout, kill, Ctrl+C), the program keeps
  // its unsaved work for the next start.
  recovery.EndOnTermSignals();

  // The program ends when the main window has closed, whatever else is open.
  QObject::connect(&mainForm, &TMainForm::Closed, &app, &QApplication::quit, Qt::QueuedConnection);
  mainForm.show();
  return app.exec();
}
