// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/FramePipe.h"

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#endif

bool TFramePipe::WriteFrame(const QImage& Picture, const TYuvSink& Sink) {
  if (Yuv) return Yuv->Write(Picture, Sink);
  return SendInPieces(reinterpret_cast<const char*>(Picture.constBits()), Picture.sizeInBytes(), Sink);
}

#ifdef Q_OS_UNIX

TFramePipe::TFramePipe(QProcess& Ffmpeg, std::optional<QSize> Yuv420Size) : Ffmpeg(Ffmpeg) {
  if (Yuv420Size) Yuv.emplace(*Yuv420Size);
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
    const bool ok =
        !Broken && WriteFrame(*frame, [this](const char* Data, qsizetype Bytes) { return WriteAll(Data, Bytes); });
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

TFramePipe::TFramePipe(QProcess& Ffmpeg, std::optional<QSize> Yuv420Size) : Ffmpeg(Ffmpeg) {
  if (Yuv420Size) Yuv.emplace(*Yuv420Size);
}
TFramePipe::~TFramePipe() = default;
void TFramePipe::Started() {}
bool TFramePipe::Overlaps() { return false; }

void TFramePipe::Send(const QImage& Picture) {
  // A few rows at a time in the channel: memory does not grow with the frames.
  const auto write = [this](const char* Data, qsizetype Bytes) {
    Ffmpeg.write(Data, Bytes);
    while (Ffmpeg.bytesToWrite() > 0)
      if (!Ffmpeg.waitForBytesWritten(60000) && Ffmpeg.state() != QProcess::Running) return false;
    return true;
  };
  if (!Broken && !WriteFrame(Picture, write)) Broken = true;
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
