// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The frames of a video on their way into ffmpeg's standard input, either
// in the encoders' own 4:2:0 (TYuv420Writer) or as the rendered pictures
// hold them, 32-bit pixels for ffmpeg to convert. A thread of its own
// writes them, in the order given, from the rendered pictures into a pipe,
// a MiB at a time: the export renders the next frames while ffmpeg encodes
// these, and no frame is copied whole on the way (QProcess's own channel
// keeps a copy of every write until its event loop sends it). Where there
// is no such pipe (not Unix), the frames go through QProcess's channel in
// the calling thread, one at a time.

#include <QImage>
#include <QProcess>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>
#include <thread>

#include "export/Yuv420.h"

class TFramePipe {
 public:
  // Prepares Ffmpeg, not yet started, to read the pipe as its standard
  // input: frames in 4:2:0 of Yuv420Size (see TYuv420Writer), or the
  // pictures' own pixels without it.
  TFramePipe(QProcess& Ffmpeg, std::optional<QSize> Yuv420Size);
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
  // Picture handed to Sink as the pipe takes it; false as soon as Sink is.
  bool WriteFrame(const QImage& Picture, const TYuvSink& Sink);

  QProcess& Ffmpeg;
  std::optional<TYuv420Writer> Yuv;
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
