// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/RecoveryFile.h"

#include "files/ProjectFile.h"
#include "files/Zlib.h"
#include "model/ByteStream.h"

#include <algorithm>
#include <cstring>

// A recovery file: "TvlRecov", a kind byte (1 project, 2 figure type), the
// time written (int64, milliseconds since 1970 UTC), the work's file path
// (int32 length, UTF-8), then
//   a project:     the frame under edit and the selected figure (int32 each),
//                  a byte saying whether a ghost follows, the length of the
//                  working frame's and the ghost's bytes (int32) and those
//                  bytes, then the project file's zlib stream to the end;
//   a figure type: the .stk file to the end.

namespace {

constexpr char Magic[8] = {'T', 'v', 'l', 'R', 'e', 'c', 'o', 'v'};
constexpr uint8_t ProjectKind = 1;
constexpr uint8_t TypeKind = 2;
constexpr int32_t MaxPathBytes = 1 << 16;
const char* const Recovery = "The recovery file";

[[noreturn]] void Damaged(const std::string& Why) { throw EProjectDamaged(Why); }

QByteArray Header(uint8_t Kind, const QDateTime& Time, const QString& Path) {
  QByteArray bytes(Magic, sizeof Magic);
  TByteWriter out(bytes);
  out.Write<uint8_t>(Kind);
  out.Write<int64_t>(Time.toMSecsSinceEpoch());
  const QByteArray path = Path.toUtf8().left(MaxPathBytes);
  out.Write<int32_t>(static_cast<int32_t>(path.size()));
  out.WriteBytes(path.constData(), path.size());
  return bytes;
}

struct THeader {
  QDateTime Time;
  QString Path;
};

THeader ReadHeader(TByteReader& In, uint8_t Kind) {
  if (In.Remaining() < qsizetype(sizeof Magic) || memcmp(In.Take(sizeof Magic, Recovery), Magic, sizeof Magic) != 0)
    Damaged("It is not a recovery file.");
  if (In.Read<uint8_t>(Recovery) != Kind) Damaged("It holds another kind of work.");
  THeader header;
  header.Time = QDateTime::fromMSecsSinceEpoch(In.Read<int64_t>(Recovery), Qt::UTC);
  const int32_t length = In.Read<int32_t>(Recovery);
  if (length < 0 || length > MaxPathBytes) Damaged("Its file name is " + std::to_string(length) + " bytes long.");
  header.Path = QString::fromUtf8(In.Take(length, Recovery), length);
  return header;
}

}  // namespace

TAnimation AnimationHead(const TAnimation& A) {
  TAnimation head;
  head.Width = A.Width;
  head.Height = A.Height;
  head.Background = A.Background;
  head.HasBackground = A.HasBackground;
  head.BackgroundKind = A.BackgroundKind;
  head.BackgroundJpeg = A.BackgroundJpeg;
  head.JpegSize = A.JpegSize;
  head.JpegShown = A.JpegShown;
  head.Types = A.Types;
  return head;
}

QByteArray ProjectRecoveryBytes(const TProjectSnapshot& S) {
  QByteArray payload;
  qsizetype size = 4;
  for (const QByteArray& frame : S.Frames) size += frame.size();
  AppendProjectHead(payload, S.Head);
  payload.reserve(payload.size() + size);
  TByteWriter(payload).Write<int32_t>(static_cast<int32_t>(S.Frames.size()));
  for (const QByteArray& frame : S.Frames) payload.append(frame);

  QByteArray edit;
  AppendFrameBytes(edit, S.Edit.WorkingFrame);
  if (S.Edit.Ghost) AppendFrameBytes(edit, *S.Edit.Ghost);

  QByteArray file = Header(ProjectKind, S.Time, S.ProjectPath);
  TByteWriter out(file);
  out.Write<int32_t>(S.Edit.EditedFrameIndex);
  out.Write<int32_t>(S.Edit.SelectedFigure);
  out.Write<uint8_t>(S.Edit.Ghost ? 1 : 0);
  out.Write<int32_t>(static_cast<int32_t>(edit.size()));
  file.append(edit);
  file.append(ZlibCompress(payload));
  return file;
}

TRecoveredProject ParseProjectRecovery(const QByteArray& File, qsizetype Piece, qint64 MaxBytes,
                                       qint64 MemoryBudget) {
  try {
    TByteReader in(File);
    const THeader header = ReadHeader(in, ProjectKind);
    TRecoveredProject r{header.Time, header.Path, {}, {}};
    r.Edit.EditedFrameIndex = in.Read<int32_t>(Recovery);
    r.Edit.SelectedFigure = in.Read<int32_t>(Recovery);
    const bool ghost = in.Read<uint8_t>(Recovery) != 0;
    const int32_t editLength = in.Read<int32_t>(Recovery);
    if (editLength < 0) Damaged("Its working frame is " + std::to_string(editLength) + " bytes long.");
    TByteReader edit(in.Take(editLength, Recovery), editLength);
    r.Animation = ParseProjectStream(File.mid(in.Pos()), Piece, MaxBytes, MemoryBudget);

    const auto types = r.Animation.Types.Types();
    r.Edit.WorkingFrame = ReadFrameBytes(edit, types);
    if (ghost) r.Edit.Ghost = ReadFrameBytes(edit, types);
    if (edit.Remaining() != 0) Damaged("Its working frame is followed by bytes that belong to nothing.");
    const int32_t frames = static_cast<int32_t>(r.Animation.Frames.size());
    if (r.Edit.EditedFrameIndex < -1 || r.Edit.EditedFrameIndex >= frames)
      Damaged("Its frame under edit, " + std::to_string(r.Edit.EditedFrameIndex) + ", is not one of its " +
              std::to_string(frames) + " frames.");
    const int32_t figures = r.Edit.WorkingFrame.Count();
    if (r.Edit.SelectedFigure < 0 || r.Edit.SelectedFigure >= std::max(figures, 1))
      Damaged("Its selected figure, " + std::to_string(r.Edit.SelectedFigure) + ", is not one of its " +
              std::to_string(figures) + " figures.");
    return r;
  } catch (const EStreamError& e) {
    Damaged(e.what());
  }
}

QByteArray TypeRecoveryBytes(const QDateTime& Time, const QString& TypePath, const QByteArray& StkFile) {
  return Header(TypeKind, Time, TypePath) + StkFile;
}

TRecoveredType ParseTypeRecovery(const QByteArray& File) {
  try {
    TByteReader in(File);
    const THeader header = ReadHeader(in, TypeKind);
    return {header.Time, header.Path, File.mid(in.Pos())};
  } catch (const EStreamError& e) {
    Damaged(e.what());
  }
}
