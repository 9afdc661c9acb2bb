// SPDX-License-Identifier: GPL-3.0-or-later
// Time from start to the first painted main window.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QEvent>

#include "editor/MainUnit.h"
#include "model/Common.h"
#include "platform/Dialogs.h"
#include "platform/PictureBox.h"

namespace {

// Notices the first paint of the drawing area.
class TPaintWatch : public QObject {
 public:
  bool Painted = false;
  bool eventFilter(QObject*, QEvent* Event) override {
    if (Event->type() == QEvent::Paint) Painted = true;
    return false;
  }
};

void BM_StartToFirstPaintedWindow(benchmark::State& State) {
  TQtDialogs dialogs;
  for (auto _ : State) {
    TMainForm form(dialogs);
    TPaintWatch watch;
    form.Controls().EditImage->installEventFilter(&watch);
    form.show();
    while (!watch.Painted) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    State.PauseTiming();
    form.hide();
    QCoreApplication::processEvents();
    State.ResumeTiming();
  }
}
BENCHMARK(BM_StartToFirstPaintedWindow)->Unit(benchmark::kMillisecond);

}  // namespace
