// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/FramePipe.h"

#include <algorithm>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#endif

namespace {

// Rows First to First + Rows of Picture into Bytes, in 24-bit pixels.
void Bgr24Rows(const QImage& Picture, int First, int Rows, QByteArray& Bytes) {
  const int width = Picture.width();
  Bytes.resize(static_cast<qsizetype>(Rows) * width * 3);
  char* out = Bytes.data();
  for (int y = First; y < First + Rows; ++y) {
    const auto* row = reinterpret_cast<const QRgb*>(Picture.constScanLine(y));
    for (int x = 0; x < width; ++x, out += 3) {
      out[0] = static_cast<char>(qBlue(row[x]));
      out[1] = static_cast<char>(qGreen(row[x]));
      out[2] = static_cast<char>(qRed(row[x]));
    }
  }
}

// Rows converted and written at a time: about a pipe's worth.
int RowsAtOnce(const QImage& Picture) { return std::max(1, (1 << 20) / std::max(1, 3 * Picture.width())); }

}  // namespace

#ifdef Q_OS_UNIX

TFramePipe::TFramePipe(QProcess& Ffmpeg) : Ffmpeg(Ffmpeg) {
  int ends[2];
  // Neither end is inherited as it is: the child takes the reading end as
  // its standard input, and a child holding the writing end would never
  // see the end of its input.
  if (::pipe2(ends, O_CLOEXEC) != 0) {
    Broken = true;
    return;
  }
  ReadEnd = ends[0];
  WriteEnd = ends[1];
#ifdef F_SETPIPE_SZ
  // A larger pipe means fewer turns between the two programs per frame;
  // the system may refuse, and the default size works too.
  ::fcntl(WriteEnd, F_SETPIPE_SZ, 1 << 20);
#endif
  Ffmpeg.setStandardInputFile(QProcess::nullDevice());
  Ffmpeg.setChildProcessModifier([read = ReadEnd] { ::dup2(read, STDIN_FILENO); });
  Writer = std::thread([this] { Run(); });
}

TFramePipe::~TFramePipe() {
  {
    std::unique_lock<std::mutex> guard(Lock);
    Stopping = true;
    // A write blocked on a full pipe ends only when its reader is gone.
    if (Busy || !Queue.empty()) {
      guard.unlock();
      Ffmpeg.kill();
    }
  }
  Changed.notify_all();
  if (Writer.joinable()) Writer.join();
  for (int end : {ReadEnd, WriteEnd})
    if (end >= 0) ::close(end);
}

void TFramePipe::Started() {
  ::close(ReadEnd);
  ReadEnd = -1;
}

bool TFramePipe::Overlaps() { return true; }

void TFramePipe::Send(const QImage& Picture) {
  {
    std::lock_guard<std::mutex> guard(Lock);
    Queue.push_back(&Picture);
  }
  Changed.notify_all();
}

bool TFramePipe::WriteFrame(const QImage& Picture) {
  const int step = RowsAtOnce(Picture);
  for (int y = 0; y < Picture.height(); y += step) {
    Bgr24Rows(Picture, y, std::min(step, Picture.height() - y), Rows);
    if (!WriteAll(Rows.constData(), Rows.size())) return false;
  }
  return true;
}

bool TFramePipe::WriteAll(const char* Data, qsizetype Count) {
  while (Count > 0) {
    const ssize_t done = ::write(WriteEnd, Data, static_cast<size_t>(Count));
    if (done < 0 && errno == EINTR) continue;
    if (done <= 0) return false;
    Data += done;
    Count -= done;
  }
  return true;
}

void TFramePipe::Run() {
  // A program that stops reading must not end this one: its pipe's writes
  // fail (EPIPE) instead, and the export reports why ffmpeg stopped.
  sigset_t pipeSignal;
  sigemptyset(&pipeSignal);
  sigaddset(&pipeSignal, SIGPIPE);
  pthread_sigmask(SIG_BLOCK, &pipeSignal, nullptr);
  std::unique_lock<std::mutex> guard(Lock);
  for (;;) {
    Changed.wait(guard, [&] { return Stopping || !Queue.empty(); });
    if (Queue.empty()) return;
    const QImage* frame = Queue.front();
    Busy = true;
    guard.unlock();
    const bool ok = !Broken && WriteFrame(*frame);
    guard.lock();
    Busy = false;
    Queue.pop_front();
    if (ok)
      ++Written;
    else
      Broken = true;
    Changed.notify_all();
  }
}

int TFramePipe::WaitWritten(int Frames) {
  std::unique_lock<std::mutex> guard(Lock);
  Changed.wait(guard, [&] { return Broken || Written >= Frames; });
  return Written;
}

bool TFramePipe::Finish() {
  {
    std::unique_lock<std::mutex> guard(Lock);
    Changed.wait(guard, [&] { return Broken || (Queue.empty() && !Busy); });
    if (Broken) return false;
  }
  ::close(WriteEnd);
  WriteEnd = -1;
  return true;
}

bool TFramePipe::Failed() {
  std::lock_guard<std::mutex> guard(Lock);
  return Broken;
}

#else

TFramePipe::TFramePipe(QProcess& Ffmpeg) : Ffmpeg(Ffmpeg) {}
TFramePipe::~TFramePipe() = default;
void TFramePipe::Started() {}
bool TFramePipe::Overlaps() { return false; }

void TFramePipe::Send(const QImage& Picture) {
  const int step = RowsAtOnce(Picture);
  for (int y = 0; y < Picture.height() && !Broken; y += step) {
    Bgr24Rows(Picture, y, std::min(step, Picture.height() - y), Rows);
    Ffmpeg.write(Rows);
    // A few rows at a time in the channel: memory does not grow with the frames.
    while (Ffmpeg.bytesToWrite() > 0 && !Broken)
      if (!Ffmpeg.waitForBytesWritten(60000) && Ffmpeg.state() != QProcess::Running) Broken = true;
  }
  if (!Broken) ++Written;
}

int TFramePipe::WaitWritten(int) { return Written; }

bool TFramePipe::Finish() {
  if (Broken) return false;
  Ffmpeg.closeWriteChannel();
  return true;
}

bool TFramePipe::Failed() { return Broken; }

#endif
