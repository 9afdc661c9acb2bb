// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A zlib stream inflated on a helper thread a piece at a time, a few pieces
// ahead of its reader, so that reading what a piece holds overlaps with
// inflating the next. A stream no longer than a piece is inflated as it is
// asked for, without a thread.

#include <QByteArray>
#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <thread>

#include "files/Zlib.h"

class TZlibPieces {
 public:
  // Stream must outlive the pieces. Throws EZlibError if zlib cannot start.
  TZlibPieces(const QByteArray& Stream, qint64 MaxBytes, qsizetype Piece);
  // Stops the helper after the piece it is inflating.
  ~TZlibPieces();
  TZlibPieces(const TZlibPieces&) = delete;
  TZlibPieces& operator=(const TZlibPieces&) = delete;

  // The next piece of at most Piece bytes, in order; empty once the stream
  // has ended. The pieces before a fault come first, then its EZlibError or
  // EZlibTooLarge is thrown (and again on every later call).
  QByteArray Next();

 private:
  void Inflate();

  static constexpr std::size_t Ahead = 4;
  TZlibInflater Inflater;
  const qsizetype Piece;
  std::mutex Lock;
  std::condition_variable Changed;
  std::deque<QByteArray> Ready;
  std::exception_ptr Failure;
  bool Finished = false;
  bool Stopping = false;
  std::thread Helper;  // not started for a short stream
};
