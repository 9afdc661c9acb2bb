// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/FigureClip.h"

#include <map>

#include "files/CodePage.h"
#include "files/FileError.h"
#include "files/ProjectFile.h"
#include "model/ByteStream.h"

namespace {

// A clip holds at most this many bytes of frames once read: far more than
// any selection of frames, far less than a machine's memory.
constexpr qint64 ClipMemory = qint64(256) << 20;

QByteArray TypeBytes(const TFigureType& Type) {
  QByteArray bytes;
  Type.SaveToBytes(bytes);
  return bytes;
}

// Figure with its type index changed to Index of Types, read back as a file
// would give it.
TFigure Retyped(const TFigure& Figure, uint8_t Index, std::span<const TFigureTypeRef> Types) {
  TFigure copy = Figure;
  copy.TypeIndex = Index;
  QByteArray bytes;
  copy.SaveToBytes(bytes);
  TByteReader reader(bytes);
  TFigure retyped;
  retyped.LoadFromBytes(reader, Types);
  retyped.Pins = Figure.Pins;
  return retyped;
}

// The entry of Into holding a type of Bytes named Name, or else of Bytes
// under any name; 0 when there is none.
int SameType(const TFigureTypeTable& Into, const QByteArray& Bytes, const QString& Name) {
  int unnamed = 0;
  for (int entry = 1; entry < Into.Count(); ++entry) {
    if (TypeBytes(*Into.Type(entry)) != Bytes) continue;
    if (Into.ListedNames().value(entry - 1) == Name) return entry;
    if (unnamed == 0) unnamed = entry;
  }
  return unnamed;
}

QString FreeName(const QString& Name, const QStringList& Taken) {
  QString name = StorableName(Name);
  for (int n = 2; Taken.contains(name, Qt::CaseSensitive); ++n) {
    const QString suffix = QStringLiteral(" (%1)").arg(n);
    name = StorableName(Name.left(255 - static_cast<int>(suffix.size())) + suffix);
  }
  return name;
}

}  // namespace

QByteArray ClipBytes(const TFigureTypeTable& Types, std::span<const TFigures> Frames) {
  TAnimation clip;
  clip.Width = clip.Height = 1;
  clip.Background = TAnimation::WhiteBackground(QSize(1, 1));
  // The added types the figures use, in table order, and their new entries.
  std::map<int, uint8_t> entries;
  for (const TFigures& frame : Frames)
    for (const TFigure& figure : frame.Items)
      if (figure.TypeIndex >= 2) entries[figure.TypeIndex] = 0;
  for (auto& [entry, index] : entries) {
    index = static_cast<uint8_t>(clip.Types.Count());
    clip.Types.Append(Types.Type(entry), Types.ListedNames().value(entry - 1));
  }
  for (const TFigures& frame : Frames) {
    TFigures copy = frame;
    for (TFigure& figure : copy.Items)
      if (figure.TypeIndex >= 2) figure.TypeIndex = entries[figure.TypeIndex];
    clip.Frames.push_back(std::move(copy));
  }
  return ProjectPayload(clip);
}

TClip ReadClip(const QByteArray& Bytes, const TFigureTypeTable& Into) {
  const TAnimation clip = ParseProjectPayload(Bytes, ClipMemory);
  TClip result;
  std::vector<TFigureTypeRef> types(Into.Types().begin(), Into.Types().end());
  QStringList names = Into.ListedNames();
  std::vector<uint8_t> entryOf(static_cast<std::size_t>(clip.Types.Count()));
  entryOf[1] = 1;  // the Stickman is every animation's
  for (int entry = 2; entry < clip.Types.Count(); ++entry) {
    const QString name = clip.Types.ListedNames().value(entry - 1);
    if (const int same = SameType(Into, TypeBytes(*clip.Types.Type(entry)), name)) {
      entryOf[static_cast<std::size_t>(entry)] = static_cast<uint8_t>(same);
      continue;
    }
    if (static_cast<int>(types.size()) >= MaxFigureTypes) throw ETooManyFigureTypes();
    const QString free = FreeName(name, names);
    entryOf[static_cast<std::size_t>(entry)] = static_cast<uint8_t>(types.size());
    types.push_back(clip.Types.Type(entry));
    names.append(free);
    result.NewTypes.emplace_back(clip.Types.Type(entry), free);
  }
  for (const TFigures& frame : clip.Frames) {
    TFigures pasted;
    pasted.Hold = frame.Hold;
    for (const TFigure& figure : frame.Items)
      pasted.Items.push_back(Retyped(figure, entryOf.at(figure.TypeIndex), types));
    result.Frames.push_back(std::move(pasted));
  }
  return result;
}
