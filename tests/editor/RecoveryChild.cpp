// SPDX-License-Identifier: GPL-3.0-or-later
// A program that works as the recovery test's script says, keeping its
// recovery copy in the folder it is given.
// Usage: tavel_recovery_child FOLDER
//   prints "written" once the copy holds everything, then works on until it
//   is killed;
// Usage: tavel_recovery_child FOLDER unsaved|saved
//   ends as the program does on SIGTERM, SIGHUP and SIGINT; its timers would
//   write no copy for a minute. "unsaved" runs the scripts, "saved" runs the
//   project's script and saves it as FOLDER/walk.tvl; it prints "ready"
//   once it waits for the signal.

#include <QApplication>
#include <QTimer>
#include <cstdio>

#include "editor/MainRecoveryHost.h"
#include "editor/MainUnit.h"
#include "editor/ProjectController.h"
#include "editor/RecoveryKeeper.h"
#include "platform/Dialogs.h"
#include "tests/editor/RecoveryScript.h"

namespace {

void Say(const char* Line) {
  std::puts(Line);
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const QString folder = QApplication::arguments().value(1);
  const QString mode = QApplication::arguments().value(2);
  TQtDialogs dialogs;
  TMainForm form(dialogs);
  TFigureBuilderForm& builder = form.FigureBuilder();
  if (!mode.isEmpty()) {
    TMainRecoveryHost host(form, &builder);
    TRecoveryKeeper keeper(form.Document(), host, dialogs, folder, TRecoveryTimes{60000, 60000});
    keeper.EndOnTermSignals();
    RunRecoveryScript(form.Document());
    if (mode == QLatin1String("saved"))
      form.Project().SaveProject(folder + QStringLiteral("/walk"));
    else
      RunBuilderScript(builder, form.Animation().Types);
    QTimer::singleShot(0, [] { Say("ready"); });
    return app.exec();
  }
  TMainRecoveryHost host(form, &builder);
  TRecoveryKeeper keeper(form.Document(), host, dialogs, folder, TRecoveryTimes{100, 1000});
  RunRecoveryScript(form.Document());
  RunBuilderScript(builder, form.Animation().Types);
  // Both copies are written by the keeper's timers; the child says so once
  // they are on disk.
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    if (keeper.Written() < 2) return;
    poll.stop();
    Say("written");
  });
  poll.start(20);
  return app.exec();
}
