// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/ProjectFile.h"

#include <algorithm>
#include <optional>
#include <string>

#include "files/BmpFile.h"
#include "files/CodePage.h"
#include "files/PictureDecoders.h"
#include "files/ProjectExtension.h"
#include "files/WholeFile.h"
#include "files/Zlib.h"
#include "files/ZlibPieces.h"
#include "model/ByteStream.h"
#include "model/Common.h"
#include "model/Pictures.h"

namespace {

const char* const Project = "The project";

// Animations larger than the dimensions window allows are refused: no
// picture of that size could be worked with.
constexpr int32_t MaxSide = MaxPictureSide;

[[noreturn]] void Damaged(const std::string& Why) { throw EProjectDamaged(Why); }

bool StoresJpeg(const TAnimation& A) {
  return A.BackgroundKind == BackgroundFromJpeg && !A.BackgroundJpeg.isEmpty() && A.JpegShowsBackground();
}

void WriteBackground(TByteWriter& Out, const TAnimation& A) {
  const bool jpeg = StoresJpeg(A);
  // A picture that is not there would make a file this program refuses:
  // the save is refused instead, and the earlier file stays.
  if (!jpeg && A.Background.isNull()) throw EFileError("The project was not saved: its background picture is missing.");
  Out.Write<uint8_t>(jpeg ? BackgroundFromJpeg : BackgroundFromBmp);
  if (!jpeg) {
    const QByteArray bmp = BmpFileBytes(A.Background);
    Out.WriteBytes(bmp.constData(), bmp.size());
    return;
  }
  // The end offset goes before the data it ends.
  Out.Write<int64_t>(static_cast<int64_t>(Out.Pos() + 8 + A.BackgroundJpeg.size()));
  Out.WriteBytes(A.BackgroundJpeg.constData(), A.BackgroundJpeg.size());
}

}  // namespace

namespace {

// The payload's size, so that it is built in one piece of memory.
qsizetype PayloadSize(const TAnimation& A) {
  qsizetype size = 1 + 1 + 4 + 4 + 1 + 1 + 4;
  if (A.HasBackground && StoresJpeg(A))
    size += 8 + A.BackgroundJpeg.size();
  else if (A.HasBackground)
    size += 54 + 1024 + Bmp24RowBytes(A.Background.width()) * A.Background.height();
  for (int entry = 2; entry < A.Types.Count(); ++entry) size += 1 + 24 * A.Types.Type(entry)->SegmentCount() + 256;
  for (const TFigures& frame : A.Frames) {
    size += 1;
    for (const TFigure& figure : frame.Items) size += 17 + 8 * qsizetype(figure.Angles.size());
  }
  return size;
}

}  // namespace

QByteArray ProjectPayload(const TAnimation& A) {
  QByteArray payload;
  payload.reserve(PayloadSize(A));
  AppendProjectHead(payload, A);
  TByteWriter(payload).Write<int32_t>(static_cast<int32_t>(A.Frames.size()));
  for (const TFigures& frame : A.Frames) AppendFrameBytes(payload, frame);
  AppendExtensionBlock(payload, A);
  return payload;
}

void AppendProjectHead(QByteArray& Payload, const TAnimation& A) {
  TByteWriter out(Payload);
  out.Write<uint8_t>(ProjectVersion);
  out.Write<uint8_t>(A.HasBackground ? 1 : 0);
  out.Write<int32_t>(A.Width);
  out.Write<int32_t>(A.Height);
  if (A.HasBackground) WriteBackground(out, A);

  const int n = A.Types.Count();
  out.Write<uint8_t>(static_cast<uint8_t>(n));
  for (int entry = 2; entry < n; ++entry) {
    A.Types.Type(entry)->SaveToBytes(Payload);
    const QByteArray name = ToCodePage(A.Types.ListedNames().value(entry - 1)).left(255);
    out.Write<uint8_t>(static_cast<uint8_t>(name.size()));
    out.WriteBytes(name.constData(), name.size());
  }
}

void AppendFrameBytes(QByteArray& Payload, const TFigures& Frame) {
  Payload.append(static_cast<char>(Frame.Count()));
  for (const TFigure& figure : Frame.Items) figure.SaveToBytes(Payload);
}

TFigures ReadFrameBytes(TByteReader& In, std::span<const TFigureTypeRef> Types) {
  TFigures frame;
  frame.Items.resize(In.Read<uint8_t>(Project));
  // Figures keep the root and angles the file gives them and place
  // their vertices when first drawn.
  for (TFigure& figure : frame.Items) figure.LoadFromBytes(In, Types);
  return frame;
}

namespace {

// The payload as the reader sees it: the bytes from the reading position
// on. They are either all there from the start or arrive from the file a
// piece at a time, inflated on a helper thread while the reader reads the
// pieces before; what was read is dropped, so a long animation is never
// held twice, as payload and as frames.
class TPayloadWindow {
 public:
  explicit TPayloadWindow(const QByteArray& Payload) : Bytes(Payload) {}
  TPayloadWindow(const QByteArray& Stream, qsizetype Piece, qint64 MaxBytes)
      : Pieces(std::in_place, Stream, MaxBytes, Piece) {}

  TByteReader Reader() const { return TByteReader(Bytes.constData() + Start, Bytes.size() - Start); }
  qsizetype Available() const { return Bytes.size() - Start; }
  void Consume(qsizetype Count) { Start += Count; }

  // Adds the next piece after what is left to read; false when the payload
  // is all here.
  bool More() {
    if (!Pieces) return false;
    QByteArray piece = Pieces->Next();
    if (piece.isEmpty()) return false;
    if (Start == Bytes.size()) {
      Bytes = std::move(piece);
    } else {
      Bytes.remove(0, Start);
      Bytes.append(piece);
    }
    Start = 0;
    return true;
  }
  // Takes and drops the rest: zlib checks the stream to its end.
  void Drain() {
    while (More()) Start = Bytes.size();
  }

 private:
  QByteArray Bytes;
  qsizetype Start = 0;
  std::optional<TZlibPieces> Pieces;
};

// Everything before the frame blocks.
struct THead {
  TAnimation Contents;
  int32_t FrameCount = 0;
  QByteArray BackgroundBmp;  // the BMP block, until it is decoded
};

// Takes the background block's bytes; they are decoded once the head is
// complete (DecodeBackground), not at every attempt to read it. A block
// that runs past the bytes read so far throws EStreamEnded, as more may
// come; its sentence is the one shown when no more does.
void ReadBackground(TByteReader& In, THead& Head) {
  TAnimation& p = Head.Contents;
  p.BackgroundKind = In.Read<uint8_t>(Project);
  if (p.BackgroundKind == BackgroundFromJpeg) {
    // The end offset counts from the payload's start, where In starts too.
    const int64_t end = In.Read<int64_t>(Project);
    const std::string outside =
        "The end of its background picture lies outside the file (offset " + std::to_string(end) + ").";
    if (end < In.Pos()) Damaged(outside);
    if (end > In.Pos() + In.Remaining()) throw EStreamEnded(outside);
    const qsizetype length = static_cast<qsizetype>(end) - In.Pos();
    p.BackgroundJpeg = QByteArray(In.Take(length, Project), length);
    return;
  }
  // A BMP file, as long as its own header says.
  if (In.Remaining() < 6) throw EStreamEnded(std::string("It ends inside its background picture."));
  TByteReader header = In;
  header.Take(2, Project);
  const uint32_t length = header.Read<uint32_t>(Project);
  const std::string claims = "Its background picture claims " + std::to_string(length) + " bytes, but " +
                             std::to_string(In.Remaining()) + " remain.";
  if (length < 26) Damaged(claims);
  if (length > static_cast<uint64_t>(In.Remaining())) throw EStreamEnded(claims);
  const qsizetype size = static_cast<qsizetype>(length);
  Head.BackgroundBmp = QByteArray(In.Take(size, Project), size);
}

// The stored picture decoded, and cut or extended to the animation's size
// as a change of dimensions does: a JPEG keeps its own size in the file.
// Without a stored picture the background is white.
void DecodeBackground(THead& Head) {
  TAnimation& p = Head.Contents;
  const int w = p.Width, h = p.Height;
  if (!p.HasBackground) {
    p.Background = TAnimation::WhiteBackground(p.Size());
    return;
  }
  try {
    QImage decoded =
        p.BackgroundKind == BackgroundFromJpeg ? DecodeJpeg(p.BackgroundJpeg) : DecodeBmp(Head.BackgroundBmp);
    if (p.BackgroundKind == BackgroundFromJpeg) p.JpegShown = (p.JpegSize = decoded.size()).boundedTo(p.Size());
    p.Background = CutOrExtend(decoded, w, h);
  } catch (const EPictureMemory&) {
    throw;
  } catch (const EFileError& e) {
    Damaged(std::string("Its background picture cannot be read: ") + e.what());
  }
  Head.BackgroundBmp.clear();
}

THead ReadHead(TByteReader& In) {
  THead head;
  TAnimation& p = head.Contents;
  if (In.Read<uint8_t>(Project) != ProjectVersion) throw EProjectVersion();
  p.HasBackground = In.Read<uint8_t>(Project) != 0;
  p.Width = In.Read<int32_t>(Project);
  p.Height = In.Read<int32_t>(Project);
  if (p.Width < 1 || p.Width > MaxSide || p.Height < 1 || p.Height > MaxSide)
    Damaged("Its animation size, " + std::to_string(p.Width) + " x " + std::to_string(p.Height) +
            " pixels, is outside 1 to " + std::to_string(MaxSide) + ".");
  if (p.HasBackground) ReadBackground(In, head);

  const int n = In.Read<uint8_t>(Project);
  if (n < 2 || n > MaxFigureTypes)
    Damaged("It counts " + std::to_string(n) + " figure types, outside 2 to " + std::to_string(MaxFigureTypes) + ".");
  p.Types = TFigureTypeTable();
  for (int entry = 2; entry < n; ++entry) {
    auto type = std::make_shared<TFigureType>();
    type->LoadFromBytes(In);
    const int length = In.Read<uint8_t>(Project);
    p.Types.Append(std::move(type), FromCodePage(QByteArray(In.Take(length, Project), length)));
  }
  head.FrameCount = In.Read<int32_t>(Project);
  if (head.FrameCount < 0) Damaged("Its frame count is negative (" + std::to_string(head.FrameCount) + ").");
  return head;
}

// The extension block after the frames, when there is one.
void ReadExtension(TPayloadWindow& Window, TAnimation& Animation) {
  while (Window.Available() < 4 && Window.More()) {
  }
  for (;;) {
    TByteReader in = Window.Reader();
    try {
      if (ReadExtensionBlock(in, Animation)) Window.Consume(in.Pos());
      return;
    } catch (const EStreamEnded&) {
      if (!Window.More()) throw;
    }
  }
}

// Reads what Window holds, asking it for more whenever a part runs past
// what it has: the head is read again from the start, a frame block again
// from its own start. Only when the payload is all there is an error final.
TAnimation ReadPayload(TPayloadWindow& Window, qint64 MemoryBudget) {
  THead head;
  for (;;) {
    TByteReader in = Window.Reader();
    try {
      head = ReadHead(in);
      Window.Consume(in.Pos());
      break;
    } catch (const EStreamEnded&) {
      if (!Window.More()) throw;
    }
  }
  DecodeBackground(head);

  TAnimation& p = head.Contents;
  const int32_t frames = head.FrameCount;
  // Every frame costs memory, an empty one too: a small file must not claim
  // more than the budget. A count that cannot fit is refused at once.
  qint64 charged = 0;
  const auto charge = [&](qint64 Bytes) {
    charged += Bytes;
    if (charged > MemoryBudget) throw EProjectTooLarge(MemoryBudget);
  };
  charge(qint64(frames) * FrameMemory(TFigures()));
  charged = 0;
  // Every frame takes at least a byte: no more are made room for than the
  // bytes at hand could hold.
  p.Frames.reserve(static_cast<std::size_t>(std::min<qint64>({frames, Window.Available(), qint64(1) << 16})));
  for (int32_t f = 0; f < frames;) {
    TByteReader in = Window.Reader();
    try {
      TFigures frame = ReadFrameBytes(in, p.Types.Types());
      charge(FrameMemory(frame));
      p.Frames.push_back(std::move(frame));
      Window.Consume(in.Pos());
      ++f;
    } catch (const EStreamEnded&) {
      // Only a frame that ran out of bytes may be completed by more of them;
      // a damaged record (a missing figure type) is final at once.
      if (Window.More()) continue;
      // Every frame takes at least its count byte.
      if (frames - f > Window.Available()) Damaged("It ends before its last frame.");
      throw;
    }
  }
  ReadExtension(Window, p);
  return std::move(p);
}

TAnimation ParsePayload(TPayloadWindow& Window, qint64 MemoryBudget) {
  try {
    try {
      TAnimation p = ReadPayload(Window, MemoryBudget);
      Window.Drain();
      return p;
    } catch (const EZlibError&) {
      throw;
    } catch (const EZlibTooLarge&) {
      throw;
    } catch (const EProjectTooLarge&) {
      throw;  // at once: inflating the rest would take the time the budget saves
    } catch (const EPictureMemory&) {
      throw;
    } catch (const std::bad_alloc&) {
      throw;  // nothing more is asked of the memory that just ran out
    } catch (...) {
      // What is wrong with the stream itself is reported before what is
      // wrong with the payload in it, as it would be had it been inflated first.
      Window.Drain();
      throw;
    }
  } catch (const EStreamError& e) {
    Damaged(e.what());
  } catch (const EProjectVersion&) {
    throw;
  } catch (const EProjectDamaged&) {
    throw;
  } catch (const EZlibError&) {
    throw;
  } catch (const EZlibTooLarge&) {
    throw;
  } catch (const EProjectTooLarge&) {
    throw;
  }
}

}  // namespace

qint64 FrameMemory(const TFigures& Frame) {
  // The frame's slot in the frame list (counted twice: the list grows by
  // doubling), its figure list, and each figure with its directions and,
  // once drawn, its vertices; every block with the allocator's overhead.
  constexpr qint64 Block = 16;
  qint64 bytes = 2 * qint64(sizeof(TFigures));
  if (!Frame.Items.empty()) bytes += Block + qint64(Frame.Items.size()) * qint64(sizeof(TFigure));
  for (const TFigure& figure : Frame.Items)
    bytes +=
        2 * Block + 8 * qint64(figure.Angles.size()) + qint64(sizeof(TRealPoint)) * (qint64(figure.Angles.size()) + 1);
  return bytes;
}

TAnimation ParseProjectPayload(const QByteArray& Payload, qint64 MemoryBudget) {
  TPayloadWindow window(Payload);
  return ParsePayload(window, MemoryBudget);
}

TAnimation ParseProjectStream(const QByteArray& Stream, qsizetype Piece, qint64 MaxBytes, qint64 MemoryBudget) {
  TPayloadWindow window(Stream, Piece, MaxBytes);
  return ParsePayload(window, MemoryBudget);
}

void WriteProjectFile(const QString& BaseName, const TAnimation& Animation) {
  WriteWholeFile(ProjectFilePath(BaseName), ZlibCompress(ProjectPayload(Animation)));
}

TAnimation ReadProjectFile(const QString& Path) {
  try {
    return ParseProjectStream(ReadWholeFile(Path, MaxProjectFileBytes));
  } catch (...) {
    RethrowNamingFile(FileNamePart(Path));
  }
}

void RethrowNamingFile(const QString& Name) {
  try {
    throw;
  } catch (const EZlibTooLarge& e) {
    throw EFileError(QStringLiteral("%1 was not opened: %2.").arg(Name, QString::fromUtf8(e.what())).toStdString());
  } catch (const EProjectTooLarge& e) {
    throw EProjectTooLarge(
        QStringLiteral("%1 was not opened: %2").arg(Name, QString::fromUtf8(e.what())).toStdString());
  } catch (const std::bad_alloc&) {
    throw EFileError(
        QStringLiteral("%1 was not opened: there is not enough memory to read it.").arg(Name).toStdString());
  } catch (const EProjectDamaged& e) {
    throw EProjectDamaged(
        QStringLiteral("%1 is damaged and was not opened. %2").arg(Name, QString::fromUtf8(e.what())).toStdString());
  } catch (const EZlibError& e) {
    throw EZlibError(
        e.Fault,
        QStringLiteral("%1\n%2").arg(QString::fromUtf8(e.what()), ZlibFaultSentence(Name, e.Fault)).toStdString());
  }
}

QString ZlibFaultSentence(const QString& Name, EZlibError::TFault Fault) {
  switch (Fault) {
    case EZlibError::NotZlib:
      return QStringLiteral("%1 is not a Tavel project: its data is not zlib-compressed.").arg(Name);
    case EZlibError::EndsEarly:
      return QStringLiteral("%1 is damaged and was not opened. Its compressed data ends early.").arg(Name);
    case EZlibError::Corrupt:
      break;
  }
  return QStringLiteral("%1 is damaged and was not opened. Its compressed data is corrupt.").arg(Name);
}
