// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Recovery files: what a running program keeps of unsaved work so that a
// crash or a power cut loses no more than a few seconds of it. A project's
// recovery file holds the project exactly as Save writes it, with the
// working frame and the frame under edit; a figure type's holds the type
// exactly as its file would. Both say when they were written and which file
// the work came from.
//
// The recovery copy is made in two steps: a snapshot taken on the window's
// thread, cheap because every stored frame is already encoded, and the file
// bytes made from it on a thread of their own.

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <optional>
#include <vector>

#include "files/ProjectFile.h"
#include "files/Zlib.h"
#include "model/Animation.h"

// The editing state a recovery restores besides the project.
struct TRecoveredEdit {
  TFigures WorkingFrame;
  int32_t EditedFrameIndex = -1;  // -1: the new frame after the last
  int32_t SelectedFigure = 0;
  std::optional<TFigures> Ghost;
};

// Everything a project's recovery file is made from, owned by the snapshot
// alone, so another thread may encode it while the window edits on.
struct TProjectSnapshot {
  QDateTime Time;
  QString ProjectPath;  // the .tvl the work came from; empty for a new project
  TAnimation Head;      // the animation without its frames
  // Names Head for TRecoveryPieces: snapshots with the same number have the
  // same head. 0: a head of its own, never reused.
  uint64_t HeadSerial = 0;
  std::vector<QByteArray> Frames;  // each stored frame's bytes (AppendFrameBytes)
  QByteArray Extension;            // the project's extension block (AppendExtensionBlock)
  TRecoveredEdit Edit;
};

// The animation without its frames: the background and the types are shared.
TAnimation AnimationHead(const TAnimation& Animation);

// What one copy deflated, kept for the next, so that a copy costs what
// changed since the last: the head (the background and the types) while
// its serial stays, and each run of RunFrames frames while its frames are
// the same byte arrays (the cache holds them, so an array the cache knows
// is never freed and another made at its address). For one thread at a time.
struct TRecoveryPieces {
  static constexpr std::size_t RunFrames = 512;
  uint64_t HeadSerial = 0;
  TDeflatedPiece Head;
  struct TRun {
    std::vector<QByteArray> Frames;
    TDeflatedPiece Piece;
  };
  std::vector<TRun> Runs;
  qint64 BytesDeflated = 0;  // all the bytes deflated so far
};

// The recovery file of Snapshot: its project part is a zlib stream of the
// payload Save would write, made of pieces deflated on their own and
// reused from Pieces where they did not change. EFileError when the project
// cannot be saved.
QByteArray ProjectRecoveryBytes(const TProjectSnapshot& Snapshot, TRecoveryPieces* Pieces = nullptr);

struct TRecoveredProject {
  QDateTime Time;
  QString ProjectPath;
  TAnimation Animation;
  TRecoveredEdit Edit;
};
// Reads a project's recovery file, checked as Open checks a project;
// EProjectDamaged and the other refusals of ParseProjectStream (which gets
// Piece, MaxBytes and MemoryBudget) otherwise.
TRecoveredProject ParseProjectRecovery(const QByteArray& File, qsizetype Piece = ProjectPiece,
                                       qint64 MaxBytes = MaxProjectPayload, qint64 MemoryBudget = MaxProjectMemory);

// A figure type's recovery file: File holds the type as its .stk file would.
QByteArray TypeRecoveryBytes(const QDateTime& Time, const QString& TypePath, const QByteArray& StkFile);

struct TRecoveredType {
  QDateTime Time;
  QString TypePath;  // the .stk the type came from; empty for a new one
  QByteArray StkFile;
};
// Reads a figure type's recovery file; EProjectDamaged when it is not one.
// The type itself is read from StkFile as a .stk file is.
TRecoveredType ParseTypeRecovery(const QByteArray& File);

// The largest recovery file that is read.
constexpr qint64 MaxRecoveryFileBytes = qint64(2) << 30;
