// Tavel: frame-by-frame animation of jointed stick figures.
// Creates the windows, each once, and runs the event loop until the main
// window closes.

#include <QApplication>

#include "builder/FigureBuilderUnit.h"
#include "editor/AboutUnit.h"
#include "editor/MainUnit.h"
#include "editor/OptionsUnit.h"
#include "platform/Dialogs.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName("Tavel");
  QApplication::setQuitOnLastWindowClosed(false);

  TQtDialogs dialogs;
  TMainForm mainForm(dialogs);
  mainForm.CommandLine = QApplication::arguments().mid(1);
  TAboutBox aboutBox(&mainForm);
  TOptionsForm optionsForm(mainForm, dialogs, &mainForm);
  TFigureBuilderForm figureBuilder(dialogs, &mainForm);
  mainForm.SetFigureBuilder(&figureBuilder);
  mainForm.SetSettingsWindows(&aboutBox, &optionsForm);

  // The program ends when the main window has closed, whatever else is open.
  QObject::connect(&mainForm, &TMainForm::Closed, &app, &QApplication::quit, Qt::QueuedConnection);
  mainForm.show();
  return app.exec();
}
