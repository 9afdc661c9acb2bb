// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/ZlibPieces.h"

TZlibPieces::TZlibPieces(const QByteArray& Stream, qint64 MaxBytes, qsizetype Piece)
    : Inflater(Stream, MaxBytes), Piece(Piece) {
  // A stream that inflates to a piece or two is over before a thread starts.
  if (Stream.size() > Piece) Helper = std::thread([this] { Inflate(); });
}

TZlibPieces::~TZlibPieces() {
  if (!Helper.joinable()) return;
  {
    std::lock_guard<std::mutex> hold(Lock);
    Stopping = true;
  }
  Changed.notify_all();
  Helper.join();
}

void TZlibPieces::Inflate() {
  for (;;) {
    QByteArray piece;
    piece.reserve(Piece);
    bool more = false;
    std::exception_ptr failure;
    try {
      more = Inflater.More(piece, Piece);
    } catch (...) {
      failure = std::current_exception();
    }
    std::unique_lock<std::mutex> hold(Lock);
    Changed.wait(hold, [this] { return Ready.size() < Ahead || Stopping; });
    if (Stopping) return;
    if (more) Ready.push_back(std::move(piece));
    Failure = failure;
    Finished = !more;
    hold.unlock();
    Changed.notify_all();
    if (!more) return;
  }
}

QByteArray TZlibPieces::Next() {
  if (!Helper.joinable()) {
    if (Failure) std::rethrow_exception(Failure);
    QByteArray piece;
    if (Finished) return piece;
    piece.reserve(Piece);
    try {
      Finished = !Inflater.More(piece, Piece);
    } catch (...) {
      Failure = std::current_exception();
      throw;
    }
    return piece;
  }
  std::unique_lock<std::mutex> hold(Lock);
  Changed.wait(hold, [this] { return !Ready.empty() || Finished; });
  if (Ready.empty()) {
    if (Failure) std::rethrow_exception(Failure);
    return QByteArray();
  }
  QByteArray piece = std::move(Ready.front());
  Ready.pop_front();
  hold.unlock();
  Changed.notify_all();
  return piece;
}
