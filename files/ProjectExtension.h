// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The project file's extension block: what an animation holds beyond the
// frames of the first format (its playback rate, and each new kind of data
// as it comes), after the frame blocks, as tagged chunks. A project that
// holds none of it ends after its frames, byte for byte as before, and
// readers that stop after the frames read every project as they always did.
//
//   4 bytes  "TVLX"
//   uint8    the block's version, 1
//   uint32   the length of the chunks that follow
//   chunks   each a 4-byte tag, a uint32 length and that many bytes of data
//   uint32   zlib's CRC-32 of every byte of the block before it
//
// A reader skips a chunk whose tag it does not know (a newer version's) and
// says so; a block that is cut short, whose chunks overrun it or whose
// CRC-32 does not match is damaged, and the project is refused.

#include <QByteArray>
#include <cstdint>
#include <vector>

#include "model/Animation.h"

class TByteReader;

constexpr uint8_t ExtensionVersion = 1;

struct TExtensionChunk {
  QByteArray Tag;  // four characters
  QByteArray Data;
  friend bool operator==(const TExtensionChunk&, const TExtensionChunk&) = default;
};

// The chunks of what Animation holds beyond the first format; none when it
// holds nothing of it.
std::vector<TExtensionChunk> ExtensionChunks(const TAnimation& Animation);
// Appends the block of Chunks; nothing at all when there are none.
void AppendExtensionBlock(QByteArray& Payload, const std::vector<TExtensionChunk>& Chunks);
void AppendExtensionBlock(QByteArray& Payload, const TAnimation& Animation);

// The pins of Frame's figures (a count of pinned figures, then each one's
// index, pin count and vertices), and back: EStreamError when they name a
// figure or a joint Frame does not have.
void AppendFramePins(QByteArray& Out, const TFigures& Frame);
void ReadFramePins(TByteReader& In, TFigures& Frame);
bool HasPins(const TFigures& Frame);

// Reads a block at In's position into Animation. False, with nothing read,
// when the bytes there are not a block (fewer than its signature, or not
// its signature: bytes after the frames were never read). EStreamEnded when
// In ends inside the block (more bytes may complete it); EStreamError for a
// damaged block.
bool ReadExtensionBlock(TByteReader& In, TAnimation& Animation);
