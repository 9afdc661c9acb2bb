// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Figures and frames on the clipboard, between animations and between
// running programs. A clip is the payload of a small project: a 1 x 1
// animation without a background, the added figure types its figures use,
// and its frames (one frame of figures, or several whole frames). So the
// project reader, which checks every byte, reads clips too.

#include <QByteArray>
#include <QString>
#include <span>
#include <utility>
#include <vector>

#include "model/Animation.h"

inline constexpr char FiguresMimeType[] = "application/x-tavel-figures";
inline constexpr char FramesMimeType[] = "application/x-tavel-frames";

// The clip of Frames, whose figures are of the types of Types.
QByteArray ClipBytes(const TFigureTypeTable& Types, std::span<const TFigures> Frames);

// A clip made ready for an animation whose types are Into.
struct TClip {
  // The types Into lacks, with names no type of Into has, to append in this order.
  TNamedTypes NewTypes;
  // The clip's frames, their figures of Into's types with NewTypes appended.
  std::vector<TFigures> Frames;
};

// Reads a clip for an animation of the types Into. A type of the clip that
// Into holds under the same name (or, failing that, under another name) is
// used as it is; any other is added, under its name or, when Into has that
// name for another type, with " (2)", " (3)"... after it. EProjectDamaged
// and the other refusals of the project reader when Bytes are no clip;
// EFileError when the table would hold more than MaxFigureTypes types.
TClip ReadClip(const QByteArray& Bytes, const TFigureTypeTable& Into);
