// SPDX-License-Identifier: GPL-3.0-or-later
// Test main for every test program: Qt runs offscreen unless told otherwise,
// and a QApplication exists for the tests that build windows or paint.

#include <gtest/gtest.h>

#include <QApplication>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>

int main(int argc, char** argv) {
  // Test discovery runs the program without the test environment, so the
  // platform is chosen here before the application starts.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Tavel"));
  // Settings a test writes go to a test location, never the user's; and to
  // one of this process's own, as CTest runs tests side by side and a
  // setting one test turns on must not reach the windows of another.
  QStandardPaths::setTestModeEnabled(true);
  const QTemporaryDir settings;
  for (QSettings::Format format : {QSettings::NativeFormat, QSettings::IniFormat})
    QSettings::setPath(format, QSettings::UserScope, settings.path());
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
