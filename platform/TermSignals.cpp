// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/TermSignals.h"

#include <QSocketNotifier>

#ifdef Q_OS_UNIX
#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

namespace {

constexpr int Watched[] = {SIGTERM, SIGHUP, SIGINT};
int Pipe[2] = {-1, -1};

// Writes the signal's number to the pipe and nothing else: write() is safe
// in a handler, and errno is kept for the code the signal interrupted.
extern "C" void OnTermSignal(int Signal) {
  const int saved = errno;
  const unsigned char byte = static_cast<unsigned char>(Signal);
  [[maybe_unused]] const ssize_t n = write(Pipe[1], &byte, 1);
  errno = saved;
}

}  // namespace

TTermSignals::TTermSignals(QObject* Parent) : QObject(Parent) {
  if (Pipe[0] >= 0 || pipe(Pipe) != 0) return;
  for (const int fd : Pipe) {
    fcntl(fd, F_SETFD, FD_CLOEXEC);
    // A full pipe drops the byte rather than blocking the handler.
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
  }
  Notifier = new QSocketNotifier(Pipe[0], QSocketNotifier::Read, this);
  connect(Notifier, &QSocketNotifier::activated, this, &TTermSignals::Drain);
  struct sigaction action {};
  action.sa_handler = OnTermSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (const int s : Watched) sigaction(s, &action, nullptr);
}

TTermSignals::~TTermSignals() {
  if (Notifier == nullptr) return;
  for (const int s : Watched) signal(s, SIG_DFL);
  delete Notifier;
  close(Pipe[0]);
  close(Pipe[1]);
  Pipe[0] = Pipe[1] = -1;
}

void TTermSignals::Drain() {
  unsigned char bytes[16];
  const ssize_t n = read(Pipe[0], bytes, sizeof bytes);
  // Several signals may wait: the first decides, the program ends on it.
  if (n > 0) emit Received(bytes[0]);
}

#else

TTermSignals::TTermSignals(QObject* Parent) : QObject(Parent) {}
TTermSignals::~TTermSignals() = default;
void TTermSignals::Drain() {}

#endif
