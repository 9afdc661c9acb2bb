// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The frames of a video on their way into ffmpeg's standard input, as the
// rendered pictures hold them: 32-bit pixels, blue, green, red and a byte
// ffmpeg ignores ("bgr0" where the lowest byte comes first). ffmpeg converts them to the encoder's colours as
// fast as 24-bit ones and into the same values, so nothing converts them on
// this side. A thread of its own writes them, in the order given, straight
// from the pictures into a pipe: the export renders the next frames while
// ffmpeg encodes these, and no frame is copied on the way (QProcess's own
// channel keeps a copy of every write until its event loop sends it). Where there is no such
// pipe (not Unix), the frames go through QProcess's channel in the calling
// thread, one at a time.

#include <QImage>
#include <QProcess>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

#include "export/Yuv420.h"

class TFramePipe {
 public:
  // Prepares Ffmpeg, not yet started, to read the pipe as its standard
  // input: frames of LumaSize (see TYuv420Writer).
  TFramePipe(QProcess& Ffmpeg, QSize LumaSize);
  // Stops ffmpeg if frames are still on their way, then ends the thread.
  ~TFramePipe();
  TFramePipe(const TFramePipe&) = delete;
  TFramePipe& operator=(const TFramePipe&) = delete;

  // Once Ffmpeg has started: the pipe is now its.
  void Started();
  // True where frames overlap with rendering (the pipe of its own).
  static bool Overlaps();

  // Queues Picture (Format_RGB32), which must stay as it is until Written()
  // counts it.
  void Send(const QImage& Picture);
  // Waits until at least Frames frames sent have been written or writing
  // failed; returns the frames written so far.
  int WaitWritten(int Frames);
  // Waits until every frame sent is written, then closes the pipe, so ffmpeg
  // sees the end of its input. False when a write failed (ffmpeg stopped).
  bool Finish();
  bool Failed();

 private:
  void Run();
  bool WriteAll(const char* Data, qsizetype Count);

  QProcess& Ffmpeg;
  TYuv420Writer Yuv;
  int ReadEnd = -1;
  int WriteEnd = -1;
  std::mutex Lock;
  std::condition_variable Changed;
  std::deque<const QImage*> Queue;
  int Written = 0;
  bool Busy = false;  // the thread is writing a frame
  bool Broken = false;
  bool Stopping = false;
  std::thread Writer;
};
