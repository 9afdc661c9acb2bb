#pragma once
// The project file: one zlib stream holding the whole animation (size,
// background, added figure types with their names, every stored frame).
//
// Reading never trusts the file: the payload is parsed and checked into a
// separate TProjectContents before anything of the open animation is
// touched, so a refused file leaves the program exactly as it was.

#include <QByteArray>
#include <QImage>
#include <QStringList>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "files/FileError.h"
#include "model/FiguresUnit.h"

constexpr uint8_t ProjectVersion = 2;
// Payloads that would inflate beyond this are refused rather than exhaust memory.
constexpr qint64 MaxProjectPayload = qint64(1) << 30;
// The largest file such a payload can come in: deflate's stored blocks add
// 5 bytes to every 65535, zlib 6 bytes to the stream.
constexpr qint64 MaxProjectFileBytes = MaxProjectPayload + 5 * (MaxProjectPayload / 65535 + 1) + 6;

// The project as the program holds it, for writing.
struct TProjectView {
  int32_t AnimationWidth = 0;
  int32_t AnimationHeight = 0;
  bool HasBackground = false;
  uint8_t BackgroundKind = 0;  // 1: BackgroundJpeg is stored, else Background as a BMP file
  const QByteArray* BackgroundJpeg = nullptr;
  // False when Background is no longer what the JPEG file gives at the
  // animation's size (a change of size cut part of it away, and a later one
  // gave the room back in white): Background is then stored as a BMP.
  bool JpegShowsBackground = true;
  const QImage* Background = nullptr;
  std::span<const std::unique_ptr<TFigureType>> Types;  // the whole table, entries 0 and 1 included
  QStringList TypeNames;                                 // the type list: item k names entry k + 1
  std::span<const TFigures> Frames;
};

// A project read from a file, complete and checked, not yet installed.
struct TProjectContents {
  int32_t AnimationWidth = 0;
  int32_t AnimationHeight = 0;
  bool HasBackground = false;
  uint8_t BackgroundKind = 0;
  QByteArray BackgroundJpeg;  // the JPEG file of a JPEG background
  QSize BackgroundJpegSize;   // the size of its picture
  // The background at the animation's size: the stored picture decoded and
  // cut or extended as a change of dimensions does, or white without one.
  QImage Background;
  std::vector<std::unique_ptr<TFigureType>> Types;  // table entries 2 and up
  QStringList TypeNames;                            // their names, in the same order
  // Figures name entries of the table above (with the Stickman at 1) and
  // place their vertices only once it is installed as FigureTypes.
  std::vector<TFigures> Frames;
};

// The version byte is not the one this program writes.
class EProjectVersion : public EFileError {
 public:
  EProjectVersion() : EFileError("that .tvl file is not compatible with this version of Tavel") {}
};
// The payload is damaged; what() says what is wrong.
class EProjectDamaged : public EFileError {
 public:
  using EFileError::EFileError;
};
// The frames would take more memory than a project may.
class EProjectTooLarge : public EFileError {
 public:
  explicit EProjectTooLarge(qint64 Budget)
      : EFileError("its frames would need more than " + std::to_string(Budget >> 20) + " MB of memory.") {}
  using EFileError::EFileError;
};

// The memory the frames of a project may take once read. A frame costs its
// figures' memory even when the file holds it in one byte, so a small file
// cannot claim more.
constexpr qint64 MaxProjectMemory = qint64(2) << 30;
// What a stored frame costs in memory, as charged against that budget.
qint64 FrameMemory(const TFigures& Frame);

// The uncompressed payload of View.
QByteArray ProjectPayload(const TProjectView& View);
// Parses a whole payload; EProjectVersion or EProjectDamaged (a sentence
// saying what is wrong) when it cannot be used, EProjectTooLarge when its
// frames would take more than MemoryBudget bytes, EPictureMemory when its
// background cannot be made.
TProjectContents ParseProjectPayload(const QByteArray& Payload, qint64 MemoryBudget = MaxProjectMemory);
// The same for the zlib stream of a project file, inflated Piece bytes at a
// time on a helper thread while the pieces before are parsed. Refuses what ParseProjectPayload refuses, with
// the same words, and before that what ZlibDecompress(Stream, MaxBytes)
// refuses.
constexpr qsizetype ProjectPiece = qsizetype(1) << 18;
TProjectContents ParseProjectStream(const QByteArray& Stream, qsizetype Piece = ProjectPiece,
                                    qint64 MaxBytes = MaxProjectPayload, qint64 MemoryBudget = MaxProjectMemory);

// The project file a base name stands for: BaseName + ".tvl".
inline QString ProjectFilePath(const QString& BaseName) { return BaseName + QStringLiteral(".tvl"); }
// Writes BaseName + ".tvl" in one piece, replacing an earlier file only once
// the new one is complete; EFileError when that fails.
void WriteProjectFile(const QString& BaseName, const TProjectView& View);
// Reads and checks the file at Path. Refusals: the platform's file error,
// "Error" for data that is not a zlib stream, the version message, or a
// sentence naming the file and what is wrong with it.
TProjectContents ReadProjectFile(const QString& Path);

// Makes Project the model's animation: its size, background picture (white
// when it has none), figure types from entry 2 on, and frames. The main
// window's own state (the background's kind and JPEG data, the type list,
// the thumbnails) is the caller's.
void InstallProjectModel(TProjectContents&& Project);
