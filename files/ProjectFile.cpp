#include "files/ProjectFile.h"

#include <string>

#include "files/BmpFile.h"
#include "files/CodePage.h"
#include "files/PictureDecoders.h"
#include "files/WholeFile.h"
#include "files/Zlib.h"
#include "model/ByteStream.h"
#include "model/Common.h"

namespace {

const char* const Project = "The project";

// Animations larger than the dimensions window allows are refused: no
// picture of that size could be worked with.
constexpr int32_t MaxSide = MaxPictureSide;

[[noreturn]] void Damaged(const std::string& Why) { throw EProjectDamaged(Why); }

void WriteBackground(TByteWriter& Out, const TProjectView& View) {
  const bool jpeg = View.BackgroundKind == 1 && View.BackgroundJpeg && !View.BackgroundJpeg->isEmpty();
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
  if (View.HasBackground && View.BackgroundKind == 1 && View.BackgroundJpeg)
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
  const bool background = View.HasBackground && View.Background != nullptr;
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

void ReadBackground(TByteReader& In, const QByteArray& Payload, TProjectContents& P) {
  P.BackgroundKind = In.Read<uint8_t>(Project);
  if (P.BackgroundKind == 1) {
    const int64_t end = In.Read<int64_t>(Project);
    if (end < In.Pos() || end > Payload.size())
      Damaged("The end of its background picture lies outside the file (offset " + std::to_string(end) + ").");
    const qsizetype length = static_cast<qsizetype>(end) - In.Pos();
    P.BackgroundJpeg = QByteArray(In.Take(length, Project), length);
    P.Background = DecodeJpeg(P.BackgroundJpeg);
    return;
  }
  // A BMP file, as long as its own header says.
  if (In.Remaining() < 6) Damaged("It ends inside its background picture.");
  TByteReader header(Payload.constData() + In.Pos(), 6);
  header.Take(2, Project);
  const uint32_t length = header.Read<uint32_t>(Project);
  if (length < 26 || length > static_cast<uint64_t>(In.Remaining()))
    Damaged("Its background picture claims " + std::to_string(length) + " bytes, but " +
            std::to_string(In.Remaining()) + " remain.");
  const qsizetype size = static_cast<qsizetype>(length);
  P.Background = DecodeBmp(QByteArray::fromRawData(In.Take(size, Project), size));
}

// Reads Frames.size() frame blocks. Figures keep the root and angles the
// file gives them and place their vertices when first drawn.
void ReadFrames(TByteReader& In, std::span<const std::unique_ptr<TFigureType>> Types, std::vector<TFigures>& Frames) {
  for (TFigures& frame : Frames) {
    frame.Items.resize(In.Read<uint8_t>(Project));
    for (TFigure& figure : frame.Items) figure.LoadFromBytes(In, Types);
  }
}

}  // namespace

TProjectContents ParseProjectPayload(const QByteArray& Payload) {
  TProjectContents p;
  TByteReader in(Payload);
  try {
    if (in.Read<uint8_t>(Project) != ProjectVersion) throw EProjectVersion();
    p.HasBackground = in.Read<uint8_t>(Project) != 0;
    p.AnimationWidth = in.Read<int32_t>(Project);
    p.AnimationHeight = in.Read<int32_t>(Project);
    if (p.AnimationWidth < 1 || p.AnimationWidth > MaxSide || p.AnimationHeight < 1 || p.AnimationHeight > MaxSide)
      Damaged("Its animation size, " + std::to_string(p.AnimationWidth) + " x " + std::to_string(p.AnimationHeight) +
              " pixels, is outside 1 to " + std::to_string(MaxSide) + ".");
    if (p.HasBackground) ReadBackground(in, Payload, p);

    const int n = in.Read<uint8_t>(Project);
    if (n < 2 || n > MaxFigureTypes)
      Damaged("It counts " + std::to_string(n) + " figure types, outside 2 to " + std::to_string(MaxFigureTypes) + ".");
    // Figures are read against the project's own table: entry 0 (the
    // builder's) may never be named, entry 1 is the built-in Stickman.
    std::vector<std::unique_ptr<TFigureType>> table(static_cast<std::size_t>(n));
    table[1] = std::make_unique<TFigureType>();
    MakeStickman(*table[1]);
    for (int entry = 2; entry < n; ++entry) {
      table[entry] = std::make_unique<TFigureType>();
      table[entry]->LoadFromBytes(in);
      const int length = in.Read<uint8_t>(Project);
      p.TypeNames << FromCodePage(QByteArray(in.Take(length, Project), length));
    }

    const int32_t frames = in.Read<int32_t>(Project);
    if (frames < 0) Damaged("Its frame count is negative (" + std::to_string(frames) + ").");
    // Every frame takes at least its count byte.
    if (frames > in.Remaining()) Damaged("It ends before its last frame.");
    p.Frames.resize(static_cast<std::size_t>(frames));
    ReadFrames(in, table, p.Frames);
    for (int entry = 2; entry < n; ++entry) p.Types.push_back(std::move(table[entry]));
  } catch (const EStreamError& e) {
    Damaged(e.what());
  } catch (const EProjectVersion&) {
    throw;
  } catch (const EProjectDamaged&) {
    throw;
  } catch (const EFileError& e) {
    // A background picture the decoders refused.
    Damaged(std::string("Its background picture cannot be read: ") + e.what());
  }
  return p;
}

void WriteProjectFile(const QString& BaseName, const TProjectView& View) {
  WriteWholeFile(BaseName + QStringLiteral(".tvl"), ZlibCompress(ProjectPayload(View)));
}

TProjectContents ReadProjectFile(const QString& Path) {
  const QString name = FileNamePart(Path);
  try {
    // The compressed file is let go before the payload is parsed.
    const QByteArray payload = ZlibDecompress(ReadWholeFile(Path, MaxProjectPayload), MaxProjectPayload);
    return ParseProjectPayload(payload);
  } catch (const EZlibTooLarge& e) {
    throw EFileError(QStringLiteral("%1 was not opened: %2.").arg(name, QString::fromUtf8(e.what())).toStdString());
  } catch (const EProjectDamaged& e) {
    throw EProjectDamaged(
        QStringLiteral("%1 is damaged and was not opened. %2").arg(name, QString::fromUtf8(e.what())).toStdString());
  }
}

void InstallProjectModel(TProjectContents&& Project) {
  AnimationWidth = Project.AnimationWidth;
  AnimationHeight = Project.AnimationHeight;
  if (Project.HasBackground) {
    Background = std::move(Project.Background);
  } else {
    Background = QImage(AnimationWidth, AnimationHeight, QImage::Format_RGB32);
    Background.fill(Qt::white);
  }
  TruncateFigureTypes();
  for (auto& type : Project.Types) FigureTypes.push_back(std::move(type));
  Project.Types.clear();
  Frames = std::move(Project.Frames);
}
