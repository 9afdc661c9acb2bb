// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The system's requests to end the program (SIGTERM, SIGHUP, SIGINT, where
// the system has them) reach the event loop as a Qt signal. The handler only
// writes the signal's number to a pipe; a socket notifier reads it on the
// window's thread, where anything may be done. The POSIX calls stay in
// TermSignals.cpp; on a system without them the watcher never fires.

#include <QObject>

class QSocketNotifier;

class TTermSignals : public QObject {
  Q_OBJECT
 public:
  // Installs the handlers; one watcher at a time.
  explicit TTermSignals(QObject* Parent = nullptr);
  // Gives the signals back their default action.
  ~TTermSignals() override;

 signals:
  // Signal (SIGTERM, SIGHUP or SIGINT) arrived.
  void Received(int Signal);

 private:
  void Drain();
  QSocketNotifier* Notifier = nullptr;
};
