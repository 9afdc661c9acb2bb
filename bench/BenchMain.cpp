// SPDX-License-Identifier: GPL-3.0-or-later
// Benchmark main: offscreen Qt unless told otherwise, a QApplication for the
// programs that build windows.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QStandardPaths>

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  // Settings a benchmark changes (the onion skin) go to a test location,
  // never the user's.
  QApplication::setApplicationName(QStringLiteral("Tavel"));
  QStandardPaths::setTestModeEnabled(true);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
