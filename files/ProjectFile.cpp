#include "files/ProjectFile.h"

#include <algorithm>
#include <optional>
#include <string>

#include "files/BmpFile.h"
#include "files/CodePage.h"
#include "files/PictureDecoders.h"
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

void WriteBackground(TByteWriter& Out, const TProjectView& View) {
  const bool jpeg = View.BackgroundKind == 1 && View.BackgroundJpeg && !View.BackgroundJpeg->isEmpty() &&
                    View.JpegShowsBackground;
  // A picture that is not there would make a file this program refuses:
  // the save is refused instead, and the earlier file stays.
  if (!jpeg && (View.Background == nullptr || View.Background->isNull()))
    throw EFileError("The project was not saved: its background picture is missing.");
  Out.Write<uint8_t>(jpeg ? 1 : 0);
  if (!jpeg) {
    const QByteArray bmp = BmpFileBytes(*View.Background);
    Out.WriteBytes(bmp.constData(), bmp.size());
    return;
  }
  // The end offset goes before the data it ends.
  Out.Write<int64_t>(static_cast<int64_t>(Out.Pos() + 8 + View.BackgroundJpeg->size()));
  Out.WriteBytes(View.BackgroundJpeg->constData(), View.BackgroundJpeg->size());
}

}  // namespace

namespace {

// The payload's size, so that it is built in one piece of memory.
qsizetype PayloadSize(const TProjectView& View) {
  qsizetype size = 1 + 1 + 4 + 4 + 1 + 1 + 4;
  if (View.HasBackground && View.BackgroundKind == 1 && View.BackgroundJpeg && View.JpegShowsBackground)
    size += 8 + View.BackgroundJpeg->size();
  else if (View.HasBackground && View.Background)
    size += 54 + 1024 + Bmp24RowBytes(View.Background->width()) * View.Background->height();
  for (std::size_t entry = 2; entry < View.Types.size(); ++entry) size += 1 + 24 * View.Types[entry]->SegmentCount() + 256;
  for (const TFigures& frame : View.Frames) {
    size += 1;
    for (const TFigure& figure : frame.Items) size += 17 + 8 * qsizetype(figure.Angles.size());
  }
  return size;
}

}  // namespace

QByteArray ProjectPayload(const TProjectView& View) {
  QByteArray payload;
  payload.reserve(PayloadSize(View));
  TByteWriter out(payload);
  out.Write<uint8_t>(ProjectVersion);
  const bool background = View.HasBackground;
  out.Write<uint8_t>(background ? 1 : 0);
  out.Write<int32_t>(View.AnimationWidth);
  out.Write<int32_t>(View.AnimationHeight);
  if (background) WriteBackground(out, View);

  const std::size_t n = View.Types.size();
  out.Write<uint8_t>(static_cast<uint8_t>(n));
  for (std::size_t entry = 2; entry < n; ++entry) {
    View.Types[entry]->SaveToBytes(payload);
    const qsizetype item = static_cast<qsizetype>(entry) - 1;
    const QByteArray name = ToCodePage(item < View.TypeNames.size() ? View.TypeNames[item] : QString()).left(255);
    out.Write<uint8_t>(static_cast<uint8_t>(name.size()));
    out.WriteBytes(name.constData(), name.size());
  }

  out.Write<int32_t>(static_cast<int32_t>(View.Frames.size()));
  for (const TFigures& frame : View.Frames) {
    out.Write<uint8_t>(frame.Count());
    for (const TFigure& figure : frame.Items) figure.SaveToBytes(payload);
  }
  return payload;
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
  TProjectContents Contents;
  // The project's own table: entry 0 (the builder's) may never be named by
  // a figure, entry 1 is the built-in Stickman.
  std::vector<std::unique_ptr<TFigureType>> Table;
  int32_t FrameCount = 0;
  QByteArray BackgroundBmp;  // the BMP block, until it is decoded
};

// Takes the background block's bytes; they are decoded once the head is
// complete (DecodeBackground), not at every attempt to read it. A block
// that runs past the bytes read so far throws EStreamEnded, as more may
// come; its sentence is the one shown when no more does.
void ReadBackground(TByteReader& In, THead& Head) {
  TProjectContents& p = Head.Contents;
  p.BackgroundKind = In.Read<uint8_t>(Project);
  if (p.BackgroundKind == 1) {
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
  TProjectContents& p = Head.Contents;
  const int w = p.AnimationWidth, h = p.AnimationHeight;
  if (!p.HasBackground) {
    p.Background = NewPicture(QSize(w, h));
    p.Background.fill(Qt::white);
    return;
  }
  try {
    QImage decoded = p.BackgroundKind == 1 ? DecodeJpeg(p.BackgroundJpeg) : DecodeBmp(Head.BackgroundBmp);
    if (p.BackgroundKind == 1) p.BackgroundJpegSize = decoded.size();
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
  TProjectContents& p = head.Contents;
  if (In.Read<uint8_t>(Project) != ProjectVersion) throw EProjectVersion();
  p.HasBackground = In.Read<uint8_t>(Project) != 0;
  p.AnimationWidth = In.Read<int32_t>(Project);
  p.AnimationHeight = In.Read<int32_t>(Project);
  if (p.AnimationWidth < 1 || p.AnimationWidth > MaxSide || p.AnimationHeight < 1 || p.AnimationHeight > MaxSide)
    Damaged("Its animation size, " + std::to_string(p.AnimationWidth) + " x " + std::to_string(p.AnimationHeight) +
            " pixels, is outside 1 to " + std::to_string(MaxSide) + ".");
  if (p.HasBackground) ReadBackground(In, head);

  const int n = In.Read<uint8_t>(Project);
  if (n < 2 || n > MaxFigureTypes)
    Damaged("It counts " + std::to_string(n) + " figure types, outside 2 to " + std::to_string(MaxFigureTypes) + ".");
  head.Table.resize(static_cast<std::size_t>(n));
  head.Table[1] = std::make_unique<TFigureType>();
  MakeStickman(*head.Table[1]);
  for (int entry = 2; entry < n; ++entry) {
    head.Table[entry] = std::make_unique<TFigureType>();
    head.Table[entry]->LoadFromBytes(In);
    const int length = In.Read<uint8_t>(Project);
    p.TypeNames << FromCodePage(QByteArray(In.Take(length, Project), length));
  }
  head.FrameCount = In.Read<int32_t>(Project);
  if (head.FrameCount < 0) Damaged("Its frame count is negative (" + std::to_string(head.FrameCount) + ").");
  return head;
}

// Reads what Window holds, asking it for more whenever a part runs past
// what it has: the head is read again from the start, a frame block again
// from its own start. Only when the payload is all there is an error final.
TProjectContents ReadPayload(TPayloadWindow& Window, qint64 MemoryBudget) {
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

  TProjectContents& p = head.Contents;
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
      TFigures frame;
      frame.Items.resize(in.Read<uint8_t>(Project));
      // Figures keep the root and angles the file gives them and place
      // their vertices when first drawn.
      for (TFigure& figure : frame.Items) figure.LoadFromBytes(in, head.Table);
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
  for (std::size_t entry = 2; entry < head.Table.size(); ++entry) p.Types.push_back(std::move(head.Table[entry]));
  return std::move(p);
}

TProjectContents ParsePayload(TPayloadWindow& Window, qint64 MemoryBudget) {
  try {
    try {
      TProjectContents p = ReadPayload(Window, MemoryBudget);
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
    bytes += 2 * Block + 8 * qint64(figure.Angles.size()) + qint64(sizeof(TRealPoint)) * (qint64(figure.Angles.size()) + 1);
  return bytes;
}

TProjectContents ParseProjectPayload(const QByteArray& Payload, qint64 MemoryBudget) {
  TPayloadWindow window(Payload);
  return ParsePayload(window, MemoryBudget);
}

TProjectContents ParseProjectStream(const QByteArray& Stream, qsizetype Piece, qint64 MaxBytes, qint64 MemoryBudget) {
  TPayloadWindow window(Stream, Piece, MaxBytes);
  return ParsePayload(window, MemoryBudget);
}

void WriteProjectFile(const QString& BaseName, const TProjectView& View) {
  WriteWholeFile(ProjectFilePath(BaseName), ZlibCompress(ProjectPayload(View)));
}

TProjectContents ReadProjectFile(const QString& Path) {
  const QString name = FileNamePart(Path);
  try {
    return ParseProjectStream(ReadWholeFile(Path, MaxProjectFileBytes));
  } catch (const EZlibTooLarge& e) {
    throw EFileError(QStringLiteral("%1 was not opened: %2.").arg(name, QString::fromUtf8(e.what())).toStdString());
  } catch (const EProjectTooLarge& e) {
    throw EProjectTooLarge(QStringLiteral("%1 was not opened: %2").arg(name, QString::fromUtf8(e.what())).toStdString());
  } catch (const std::bad_alloc&) {
    throw EFileError(
        QStringLiteral("%1 was not opened: there is not enough memory to read it.").arg(name).toStdString());
  } catch (const EProjectDamaged& e) {
    throw EProjectDamaged(
        QStringLiteral("%1 is damaged and was not opened. %2").arg(name, QString::fromUtf8(e.what())).toStdString());
  }
}

void InstallProjectModel(TProjectContents&& Project) {
  AnimationWidth = Project.AnimationWidth;
  AnimationHeight = Project.AnimationHeight;
  Background = std::move(Project.Background);
  TruncateFigureTypes();
  for (auto& type : Project.Types) FigureTypes.push_back(std::move(type));
  Project.Types.clear();
  Frames = std::move(Project.Frames);
}
