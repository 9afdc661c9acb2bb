// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/ProjectExtension.h"

#include <string>

#include "files/Zlib.h"
#include "model/ByteStream.h"

namespace {

const QByteArray Signature = QByteArrayLiteral("TVLX");
const QByteArray RateTag = QByteArrayLiteral("RATE");
const char* const Block = "Its extension block";

[[noreturn]] void Damaged(const std::string& Why) { throw EStreamError("Its extension block is damaged: " + Why); }

void ReadRate(const QByteArray& Data, TAnimation& Animation) {
  TByteReader in(Data);
  const int32_t interval = in.Read<int32_t>("Its playback rate");
  if (in.Remaining() != 0 || interval < 1)
    Damaged("its playback rate (" + std::to_string(interval) + " ms between frames) cannot be used.");
  Animation.PlaybackInterval = interval;
}

// Gives Animation what Chunk holds; a tag this version does not know is left out.
void ReadChunk(const TExtensionChunk& Chunk, TAnimation& Animation) {
  if (Chunk.Tag == RateTag)
    ReadRate(Chunk.Data, Animation);
  else
    Animation.SkippedNewerParts = true;
}

}  // namespace

std::vector<TExtensionChunk> ExtensionChunks(const TAnimation& Animation) {
  std::vector<TExtensionChunk> chunks;
  if (Animation.PlaybackInterval > 0) {
    QByteArray rate;
    TByteWriter(rate).Write<int32_t>(Animation.PlaybackInterval);
    chunks.push_back({RateTag, rate});
  }
  return chunks;
}

void AppendExtensionBlock(QByteArray& Payload, const std::vector<TExtensionChunk>& Chunks) {
  if (Chunks.empty()) return;
  QByteArray block = Signature;
  TByteWriter out(block);
  out.Write<uint8_t>(ExtensionVersion);
  qsizetype length = 0;
  for (const TExtensionChunk& chunk : Chunks) length += 8 + chunk.Data.size();
  out.Write<uint32_t>(static_cast<uint32_t>(length));
  for (const TExtensionChunk& chunk : Chunks) {
    out.WriteBytes(chunk.Tag.constData(), 4);
    out.Write<uint32_t>(static_cast<uint32_t>(chunk.Data.size()));
    out.WriteBytes(chunk.Data.constData(), chunk.Data.size());
  }
  out.Write<uint32_t>(Crc32(block.constData(), block.size()));
  Payload.append(block);
}

void AppendExtensionBlock(QByteArray& Payload, const TAnimation& Animation) {
  AppendExtensionBlock(Payload, ExtensionChunks(Animation));
}

bool ReadExtensionBlock(TByteReader& In, TAnimation& Animation) {
  TByteReader at = In;
  if (at.Remaining() < Signature.size()) return false;
  if (QByteArray(at.Take(Signature.size(), Block), Signature.size()) != Signature) return false;
  const auto version = at.Read<uint8_t>(Block);
  const auto length = at.Read<uint32_t>(Block);
  if (static_cast<qint64>(length) + 4 > at.Remaining())
    throw EStreamEnded(std::string("Its extension block ends early."));
  const char* start = In.Take(at.Pos(), Block);
  const char* chunks = In.Take(static_cast<qsizetype>(length), Block);
  const auto crc = In.Read<uint32_t>(Block);
  if (crc != Crc32(start, at.Pos() + static_cast<qsizetype>(length))) Damaged("its check sum does not match.");
  if (version != ExtensionVersion) {
    // A block of a later version may be laid out otherwise: none of it is read.
    Animation.SkippedNewerParts = true;
    return true;
  }
  TByteReader body(chunks, static_cast<qsizetype>(length));
  while (body.Remaining() > 0) {
    if (body.Remaining() < 8) Damaged("a chunk is cut short.");
    TExtensionChunk chunk;
    chunk.Tag = QByteArray(body.Take(4, Block), 4);
    const auto size = body.Read<uint32_t>(Block);
    if (size > static_cast<uint64_t>(body.Remaining())) Damaged("a chunk runs past its end.");
    chunk.Data = QByteArray(body.Take(static_cast<qsizetype>(size), Block), static_cast<qsizetype>(size));
    ReadChunk(chunk, Animation);
  }
  return true;
}
