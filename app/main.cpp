// Tavel: frame-by-frame animation of jointed stick figures.
// Creates the windows, each once, and runs the event loop until the main
// window closes. With command-line options (--export, --help, --version) it
// runs the exporter instead, without any window or display.

#include <QApplication>

#include "builder/FigureBuilderUnit.h"
#include "builder/NameUnit.h"
#include "editor/MainUnit.h"
#include "export/CommandLine.h"
#include "export/GifSaveUnit.h"
#include "export/ProgressUnit.h"
#include "platform/Dialogs.h"

int main(int argc, char** argv) {
  if (IsExportCommandLine(argc, argv)) {
    QCoreApplication app(argc, argv);
    return RunExportCommandLine(QCoreApplication::arguments());
  }
  QApplication app(argc, argv);
  QApplication::setApplicationName("Tavel");
  QApplication::setQuitOnLastWindowClosed(false);

  TQtDialogs dialogs;
  TMainForm mainForm(dialogs);
  mainForm.CommandLine = QApplication::arguments().mid(1);
  TProgressForm progressForm(&mainForm);
  TGifOptionsForm gifOptionsForm(dialogs, progressForm, &mainForm);
  mainForm.SetExportWindows(&progressForm, &gifOptionsForm);
  TFigureBuilderForm figureBuilder(dialogs, &mainForm);
  mainForm.SetFigureBuilder(&figureBuilder);
  TNameForm nameForm(&figureBuilder);
  figureBuilder.SetNameForm(&nameForm);

  // The program ends when the main window has closed, whatever else is open.
  QObject::connect(&mainForm, &TMainForm::Closed, &app, &QApplication::quit, Qt::QueuedConnection);
  mainForm.show();
  return app.exec();
}
