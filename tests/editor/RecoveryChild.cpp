// SPDX-License-Identifier: GPL-3.0-or-later
// A program that works as the recovery test's script says, keeping its
// recovery copy in the folder it is given; it prints "written" once the
// copy holds everything, then works on until it is killed.
// Usage: tavel_recovery_child FOLDER

#include <QApplication>
#include <QTimer>
#include <cstdio>

#include "editor/MainUnit.h"
#include "editor/RecoveryKeeper.h"
#include "tests/editor/RecoveryScript.h"

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  TQtDialogs dialogs;
  TMainForm form(dialogs);
  TFigureBuilderForm builder(dialogs, &form);
  form.SetFigureBuilder(&builder);
  TRecoveryKeeper keeper(form, &builder, dialogs, QApplication::arguments().value(1), TRecoveryTimes{100, 1000, 50});
  RunRecoveryScript(form.Document());
  RunBuilderScript(builder, form.Animation().Types);
  // Both copies are written by the keeper's timers; the child says so once
  // they are on disk.
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    if (keeper.Written() < 2) return;
    poll.stop();
    std::puts("written");
    std::fflush(stdout);
  });
  poll.start(20);
  return app.exec();
}
