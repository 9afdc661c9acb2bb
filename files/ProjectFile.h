// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The project file: one zlib stream holding the whole animation (size,
// background, added figure types with their names, every stored frame).
//
// Reading never trusts the file: the payload is parsed and checked into a
// separate TAnimation before anything of the open animation is touched, so
// a refused file leaves the program exactly as it was.

#include <QByteArray>
#include <QImage>
#include <QStringList>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "files/FileError.h"
#include "files/Zlib.h"
#include "model/Animation.h"

constexpr uint8_t ProjectVersion = 2;
// Payloads that would inflate beyond this are refused rather than exhaust memory.
constexpr qint64 MaxProjectPayload = qint64(1) << 30;
// The largest file such a payload can come in: deflate's stored blocks add
// 5 bytes to every 65535, zlib 6 bytes to the stream.
constexpr qint64 MaxProjectFileBytes = MaxProjectPayload + 5 * (MaxProjectPayload / 65535 + 1) + 6;

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

class TByteReader;

// The uncompressed payload of Animation. Its background is stored as the JPEG
// file it came from while reading that file gives it, else as a BMP.
QByteArray ProjectPayload(const TAnimation& Animation);
// The payload in its parts: the head (everything before the frame count),
// then the count as an int32, then each frame's bytes.
void AppendProjectHead(QByteArray& Payload, const TAnimation& Animation);
void AppendFrameBytes(QByteArray& Payload, const TFigures& Frame);
// One frame's bytes, its figures of the types Types; EStreamError when they
// are damaged or end early.
TFigures ReadFrameBytes(TByteReader& In, std::span<const TFigureTypeRef> Types);
// Parses a whole payload; EProjectVersion or EProjectDamaged (a sentence
// saying what is wrong) when it cannot be used, EProjectTooLarge when its
// frames would take more than MemoryBudget bytes, EPictureMemory when its
// background cannot be made.
TAnimation ParseProjectPayload(const QByteArray& Payload, qint64 MemoryBudget = MaxProjectMemory);
// The same for the zlib stream of a project file, inflated Piece bytes at a
// time on a helper thread while the pieces before are parsed. Refuses what ParseProjectPayload refuses, with
// the same words, and before that what ZlibDecompress(Stream, MaxBytes)
// refuses.
constexpr qsizetype ProjectPiece = qsizetype(1) << 18;
TAnimation ParseProjectStream(const QByteArray& Stream, qsizetype Piece = ProjectPiece,
                              qint64 MaxBytes = MaxProjectPayload, qint64 MemoryBudget = MaxProjectMemory);

// The project file a base name stands for: BaseName + ".tvl".
inline QString ProjectFilePath(const QString& BaseName) { return BaseName + QStringLiteral(".tvl"); }
// Writes BaseName + ".tvl" in one piece, replacing an earlier file only once
// the new one is complete; EFileError when that fails.
void WriteProjectFile(const QString& BaseName, const TAnimation& Animation);
// Reads and checks the file at Path. Refusals: the platform's file error,
// "Error" for data that is not a zlib stream, the version message, or a
// sentence naming the file and what is wrong with it.
TAnimation ReadProjectFile(const QString& Path);
// Called in a catch block while reading the file named Name: rethrows what
// was caught with the sentence Open shows for it, naming the file. Data
// that is not a zlib stream stays "Error", with a second line that says
// what is wrong (ZlibFaultSentence).
[[noreturn]] void RethrowNamingFile(const QString& Name);
// What is wrong with the file Name whose data zlib refused:
// "walk.tvl is not a Tavel project: its data is not zlib-compressed.", or
// that it is damaged and how.
QString ZlibFaultSentence(const QString& Name, EZlibError::TFault Fault);
