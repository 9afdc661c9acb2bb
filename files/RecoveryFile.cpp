// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/RecoveryFile.h"

#include <algorithm>
#include <cstring>

#include "files/ProjectExtension.h"
#include "files/ProjectFile.h"
#include "files/Zlib.h"
#include "model/ByteStream.h"

// A recovery file: "TvlRecov", the format byte (3), a kind byte (1 project,
// 2 figure type), then its parts. Each part is its length (uint32), its
// bytes and the CRC-32 of those bytes (uint32), so that a damaged byte
// anywhere in the file refuses it instead of recovering something else.
//   a project:     the header (the time written as int64 milliseconds since
//                  1970 UTC, the frame under edit and the selected figure as
//                  int32, the work's file path in UTF-8 to the end of the
//                  part), the working frame, the ghost (empty: none), the
//                  project's payload as one zlib stream (of pieces
//                  deflated on their own: TRecoveryPieces);
//   a figure type: the header (the time, then the path) and the .stk file.
// The files written before the format byte held the kind in its place
// (1 or 2); they are refused.

namespace {

constexpr char Magic[8] = {'T', 'v', 'l', 'R', 'e', 'c', 'o', 'v'};
constexpr uint8_t Format = 3;
constexpr uint8_t ProjectKind = 1;
constexpr uint8_t TypeKind = 2;
constexpr int32_t MaxPathBytes = 1 << 16;
const char* const Recovery = "The recovery file";

[[noreturn]] void Damaged(const std::string& Why) { throw EProjectDamaged(Why); }

QByteArray Start(uint8_t Kind) {
  QByteArray bytes(Magic, sizeof Magic);
  TByteWriter out(bytes);
  out.Write<uint8_t>(Format);
  out.Write<uint8_t>(Kind);
  return bytes;
}

void AppendPart(QByteArray& File, const QByteArray& Part) {
  if (Part.size() > qsizetype(UINT32_MAX)) throw EFileError("The recovery copy would be too large to write.");
  TByteWriter out(File);
  out.Write<uint32_t>(static_cast<uint32_t>(Part.size()));
  File.append(Part);
  out.Write<uint32_t>(Crc32(Part.constData(), Part.size()));
}

// Reads the magic, the format and the kind.
void ReadStart(TByteReader& In, uint8_t Kind) {
  if (In.Remaining() < qsizetype(sizeof Magic) || memcmp(In.Take(sizeof Magic, Recovery), Magic, sizeof Magic) != 0)
    Damaged("It is not a recovery file.");
  const uint8_t format = In.Read<uint8_t>(Recovery);
  if (format == ProjectKind || format == TypeKind) Damaged("It was written by an earlier version of Tavel.");
  if (format != Format) Damaged("It was written by a later version of Tavel.");
  if (In.Read<uint8_t>(Recovery) != Kind) Damaged("It holds another kind of work.");
}

// The next part, its bytes checked against their CRC-32; Name says which
// part a refusal is about.
QByteArray ReadPart(TByteReader& In, const char* Name) {
  const uint32_t length = In.Read<uint32_t>(Recovery);
  const char* data = In.Take(static_cast<qsizetype>(length), Recovery);
  if (In.Read<uint32_t>(Recovery) != Crc32(data, length))
    Damaged(std::string("Its ") + Name + " does not match its checksum.");
  // The part stays in the file's bytes, which outlive every reader of it.
  return QByteArray::fromRawData(data, static_cast<qsizetype>(length));
}

void ReadEnd(const TByteReader& In) {
  if (In.Remaining() != 0) Damaged("Its last part is followed by bytes that belong to nothing.");
}

// The work's file path: the rest of a header part.
QString ReadPath(TByteReader& In) {
  const qsizetype length = In.Remaining();
  if (length > MaxPathBytes) Damaged("Its file name is " + std::to_string(length) + " bytes long.");
  return QString::fromUtf8(In.Take(length, Recovery), length);
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
  head.PlaybackInterval = A.PlaybackInterval;
  return head;
}

namespace {

// The zlib stream of S's payload, from the pieces in Cache that still hold
// and those deflated now.
QByteArray ProjectStream(const TProjectSnapshot& S, TRecoveryPieces& Cache) {
  if (S.HeadSerial == 0 || S.HeadSerial != Cache.HeadSerial) {
    QByteArray head;
    AppendProjectHead(head, S.Head);
    Cache.Head = DeflatePiece(head.constData(), head.size());
    Cache.HeadSerial = S.HeadSerial;
    Cache.BytesDeflated += head.size();
  }
  QByteArray count;
  TByteWriter(count).Write<int32_t>(static_cast<int32_t>(S.Frames.size()));
  const TDeflatedPiece countPiece = DeflatePiece(count.constData(), count.size());
  Cache.BytesDeflated += count.size();

  const std::size_t n = S.Frames.size(), runSize = TRecoveryPieces::RunFrames;
  Cache.Runs.resize((n + runSize - 1) / runSize);
  std::vector<const TDeflatedPiece*> pieces = {&Cache.Head, &countPiece};
  for (std::size_t r = 0; r < Cache.Runs.size(); ++r) {
    TRecoveryPieces::TRun& run = Cache.Runs[r];
    const auto first = S.Frames.begin() + static_cast<std::ptrdiff_t>(r * runSize);
    const auto last = S.Frames.begin() + static_cast<std::ptrdiff_t>(std::min(n, (r + 1) * runSize));
    const bool same =
        std::equal(first, last, run.Frames.begin(), run.Frames.end(), [](const QByteArray& A, const QByteArray& B) {
          return A.constData() == B.constData() && A.size() == B.size();
        });
    if (!same) {
      run.Frames.assign(first, last);
      QByteArray bytes;
      for (const QByteArray& frame : run.Frames) bytes.append(frame);
      run.Piece = DeflatePiece(bytes.constData(), bytes.size());
      Cache.BytesDeflated += bytes.size();
    }
    pieces.push_back(&run.Piece);
  }
  // What follows the frames: small, deflated with every copy.
  TDeflatedPiece tailPiece;
  if (!S.Extension.isEmpty()) {
    tailPiece = DeflatePiece(S.Extension.constData(), S.Extension.size());
    Cache.BytesDeflated += S.Extension.size();
    pieces.push_back(&tailPiece);
  }
  return JoinZlibPieces(pieces);
}

}  // namespace

QByteArray ProjectRecoveryBytes(const TProjectSnapshot& S, TRecoveryPieces* Pieces) {
  TRecoveryPieces own;
  const QByteArray stream = ProjectStream(S, Pieces != nullptr ? *Pieces : own);

  QByteArray header;
  TByteWriter out(header);
  out.Write<int64_t>(S.Time.toMSecsSinceEpoch());
  out.Write<int32_t>(S.Edit.EditedFrameIndex);
  out.Write<int32_t>(S.Edit.SelectedFigure);
  header.append(S.ProjectPath.toUtf8().left(MaxPathBytes));
  // A frame's pins, when it has any or is held, follow its figures, then
  // its hold when it is longer than a tick.
  const auto frameBytes = [](QByteArray& Out, const TFigures& Frame) {
    AppendFrameBytes(Out, Frame);
    if (HasPins(Frame) || Frame.Hold > 1) AppendFramePins(Out, Frame);
    if (Frame.Hold > 1) TByteWriter(Out).Write<uint8_t>(Frame.Hold);
  };
  QByteArray working, ghost;
  frameBytes(working, S.Edit.WorkingFrame);
  if (S.Edit.Ghost) frameBytes(ghost, *S.Edit.Ghost);

  QByteArray file = Start(ProjectKind);
  AppendPart(file, header);
  AppendPart(file, working);
  AppendPart(file, ghost);
  AppendPart(file, stream);
  return file;
}

TRecoveredProject ParseProjectRecovery(const QByteArray& File, qsizetype Piece, qint64 MaxBytes, qint64 MemoryBudget) {
  try {
    TByteReader in(File);
    ReadStart(in, ProjectKind);
    const QByteArray headerPart = ReadPart(in, "header");
    const QByteArray workingPart = ReadPart(in, "working frame");
    const QByteArray ghostPart = ReadPart(in, "ghost");
    const QByteArray stream = ReadPart(in, "project");
    ReadEnd(in);

    TByteReader header(headerPart);
    TRecoveredProject r;
    r.Time = QDateTime::fromMSecsSinceEpoch(header.Read<int64_t>(Recovery), Qt::UTC);
    r.Edit.EditedFrameIndex = header.Read<int32_t>(Recovery);
    r.Edit.SelectedFigure = header.Read<int32_t>(Recovery);
    r.ProjectPath = ReadPath(header);
    r.Animation = ParseProjectStream(stream, Piece, MaxBytes, MemoryBudget);

    const auto types = r.Animation.Types.Types();
    const auto frame = [&](const QByteArray& Part, const char* Name) {
      TByteReader bytes(Part);
      TFigures read = ReadFrameBytes(bytes, types);
      if (bytes.Remaining() != 0) ReadFramePins(bytes, read);
      if (bytes.Remaining() != 0) {
        const int hold = bytes.Read<uint8_t>(Recovery);
        if (hold < 2 || hold > TFigures::MaxHold)
          Damaged(std::string("Its ") + Name + " is held for " + std::to_string(hold) + " ticks.");
        read.Hold = static_cast<uint8_t>(hold);
      }
      if (bytes.Remaining() != 0) Damaged(std::string("Its ") + Name + " is followed by bytes that belong to nothing.");
      return read;
    };
    r.Edit.WorkingFrame = frame(workingPart, "working frame");
    if (!ghostPart.isEmpty()) r.Edit.Ghost = frame(ghostPart, "ghost");
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
  QByteArray header;
  TByteWriter(header).Write<int64_t>(Time.toMSecsSinceEpoch());
  header.append(TypePath.toUtf8().left(MaxPathBytes));
  QByteArray file = Start(TypeKind);
  AppendPart(file, header);
  AppendPart(file, StkFile);
  return file;
}

TRecoveredType ParseTypeRecovery(const QByteArray& File) {
  try {
    TByteReader in(File);
    ReadStart(in, TypeKind);
    const QByteArray headerPart = ReadPart(in, "header");
    const QByteArray stk = ReadPart(in, ".stk file");
    ReadEnd(in);
    TByteReader header(headerPart);
    TRecoveredType r;
    r.Time = QDateTime::fromMSecsSinceEpoch(header.Read<int64_t>(Recovery), Qt::UTC);
    r.TypePath = ReadPath(header);
    // A copy of its own: the part points into File.
    r.StkFile = QByteArray(stk.constData(), stk.size());
    return r;
  } catch (const EStreamError& e) {
    Damaged(e.what());
  }
}
