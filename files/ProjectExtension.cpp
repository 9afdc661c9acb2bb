// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/ProjectExtension.h"

#include <algorithm>
#include <string>

#include "files/Zlib.h"
#include "model/ByteStream.h"

namespace {

const QByteArray Signature = QByteArrayLiteral("TVLX");
const QByteArray RateTag = QByteArrayLiteral("RATE");
const QByteArray PinsTag = QByteArrayLiteral("PINS");
const QByteArray HoldTag = QByteArrayLiteral("HOLD");
const char* const Block = "Its extension block";

[[noreturn]] void Damaged(const std::string& Why) { throw EStreamError("Its extension block is damaged: " + Why); }

void ReadRate(const QByteArray& Data, TAnimation& Animation) {
  TByteReader in(Data);
  const int32_t interval = in.Read<int32_t>("Its playback rate");
  if (in.Remaining() != 0 || interval < 1)
    Damaged("its playback rate (" + std::to_string(interval) + " ms between frames) cannot be used.");
  Animation.PlaybackInterval = interval;
}

// The pins of the frames that have any: each frame's number, ascending,
// and its pins.
void ReadPins(const QByteArray& Data, TAnimation& Animation) {
  TByteReader in(Data);
  int64_t last = -1;
  while (in.Remaining() > 0) {
    const uint32_t frame = in.Read<uint32_t>("Its pins");
    if (frame <= last || frame >= Animation.Frames.size())
      Damaged("its pins name frame " + std::to_string(frame) + ", not one of its " +
              std::to_string(Animation.Frames.size()) + " frames in order.");
    last = frame;
    ReadFramePins(in, Animation.Frames[frame]);
  }
}

// The holds of the frames held longer than one tick: each frame's number,
// ascending, and its hold.
void ReadHolds(const QByteArray& Data, TAnimation& Animation) {
  TByteReader in(Data);
  int64_t last = -1;
  while (in.Remaining() > 0) {
    const uint32_t frame = in.Read<uint32_t>("Its holds");
    const int hold = in.Read<uint8_t>("Its holds");
    if (frame <= last || frame >= Animation.Frames.size())
      Damaged("its holds name frame " + std::to_string(frame) + ", not one of its " +
              std::to_string(Animation.Frames.size()) + " frames in order.");
    if (hold < 1 || hold > TFigures::MaxHold)
      Damaged("frame " + std::to_string(frame) + " is held for " + std::to_string(hold) + " ticks, not 1 to " +
              std::to_string(TFigures::MaxHold) + ".");
    last = frame;
    Animation.Frames[frame].Hold = static_cast<uint8_t>(hold);
  }
}

// Gives Animation what Chunk holds; a tag this version does not know is left out.
void ReadChunk(const TExtensionChunk& Chunk, TAnimation& Animation) {
  if (Chunk.Tag == RateTag)
    ReadRate(Chunk.Data, Animation);
  else if (Chunk.Tag == PinsTag)
    ReadPins(Chunk.Data, Animation);
  else if (Chunk.Tag == HoldTag)
    ReadHolds(Chunk.Data, Animation);
  else
    Animation.SkippedNewerParts = true;
}

}  // namespace

bool HasPins(const TFigures& Frame) {
  return std::any_of(Frame.Items.begin(), Frame.Items.end(), [](const TFigure& F) { return !F.Pins.empty(); });
}

void AppendFramePins(QByteArray& Out, const TFigures& Frame) {
  TByteWriter out(Out);
  out.Write<uint8_t>(static_cast<uint8_t>(
      std::count_if(Frame.Items.begin(), Frame.Items.end(), [](const TFigure& F) { return !F.Pins.empty(); })));
  for (std::size_t f = 0; f < Frame.Items.size(); ++f) {
    const std::vector<uint8_t>& pins = Frame.Items[f].Pins;
    if (pins.empty()) continue;
    out.Write<uint8_t>(static_cast<uint8_t>(f));
    out.Write<uint8_t>(static_cast<uint8_t>(pins.size()));
    out.WriteBytes(pins.data(), static_cast<qsizetype>(pins.size()));
  }
}

void ReadFramePins(TByteReader& In, TFigures& Frame) {
  const char* what = "Its pins";
  for (int figures = In.Read<uint8_t>(what); figures > 0; --figures) {
    const uint8_t index = In.Read<uint8_t>(what);
    if (index >= Frame.Items.size())
      throw EStreamError("Its pins name figure " + std::to_string(index) + " of a frame without it.");
    TFigure& figure = Frame.Items[index];
    const int count = In.Read<uint8_t>(what);
    const auto* vertices = reinterpret_cast<const uint8_t*>(In.Take(count, what));
    std::vector<uint8_t> pins(vertices, vertices + count);
    // Joints of the figure, the root not among them, each once and in order.
    for (std::size_t i = 0; i < pins.size(); ++i)
      if (pins[i] == 0 || pins[i] > figure.SegmentCount() || (i > 0 && pins[i] <= pins[i - 1]))
        throw EStreamError("Its pins name joint " + std::to_string(pins[i]) +
                           " of a figure that cannot have it pinned.");
    figure.Pins = std::move(pins);
  }
}

std::vector<TExtensionChunk> ExtensionChunks(const TAnimation& Animation) {
  std::vector<TExtensionChunk> chunks;
  if (Animation.PlaybackInterval > 0) {
    QByteArray rate;
    TByteWriter(rate).Write<int32_t>(Animation.PlaybackInterval);
    chunks.push_back({RateTag, rate});
  }
  QByteArray pins;
  for (std::size_t f = 0; f < Animation.Frames.size(); ++f) {
    if (!HasPins(Animation.Frames[f])) continue;
    TByteWriter(pins).Write<uint32_t>(static_cast<uint32_t>(f));
    AppendFramePins(pins, Animation.Frames[f]);
  }
  if (!pins.isEmpty()) chunks.push_back({PinsTag, pins});
  QByteArray holds;
  TByteWriter heldOut(holds);
  for (std::size_t f = 0; f < Animation.Frames.size(); ++f) {
    if (Animation.Frames[f].Hold <= 1) continue;
    heldOut.Write<uint32_t>(static_cast<uint32_t>(f));
    heldOut.Write<uint8_t>(Animation.Frames[f].Hold);
  }
  if (!holds.isEmpty()) chunks.push_back({HoldTag, holds});
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
