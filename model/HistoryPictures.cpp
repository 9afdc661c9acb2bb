// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/HistoryPictures.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryFile>
#include <algorithm>

#include "model/Pictures.h"

TKeptPicture::TKeptPicture(QImage Picture)
    : Image(std::move(Picture)),
      Size(Image.size()),
      Format(Image.format()),
      BytesPerLine(Image.bytesPerLine()),
      Colors(Image.colorTable()) {}

TKeptPicture::~TKeptPicture() = default;

const QImage& TKeptPicture::Load() {
  if (!Image.isNull() || Size.isEmpty()) return Image;
  QImage picture = NewPicture(Size, Format);
  if (picture.bytesPerLine() != BytesPerLine) throw EHistoryPicture();
  const qint64 bytes = picture.sizeInBytes();
  if (!File->seek(0) || File->read(reinterpret_cast<char*>(picture.bits()), bytes) != bytes) throw EHistoryPicture();
  picture.setColorTable(Colors);
  Image = std::move(picture);
  return Image;
}

bool TKeptPicture::MoveToFile() {
  if (Image.isNull()) return true;
  if (!File) {
    // Without a temporary folder (TMPDIR names none) the picture stays in memory.
    const QString folder = QDir::tempPath();
    if (folder.isEmpty() || !QFileInfo(folder).isDir()) return false;
    auto file = std::make_unique<QTemporaryFile>(folder + QStringLiteral("/tavel-undo-XXXXXX"));
    const qint64 bytes = Image.sizeInBytes();
    if (!file->open() || file->write(reinterpret_cast<const char*>(Image.constBits()), bytes) != bytes ||
        !file->flush())
      return false;
    File = std::move(file);
  }
  Image = QImage();
  return true;
}

std::shared_ptr<TKeptPicture> TPictureKeeper::Keep(const QImage& Picture) {
  std::erase_if(Kept, [](const std::weak_ptr<TKeptPicture>& K) { return K.expired(); });
  for (const std::weak_ptr<TKeptPicture>& kept : Kept)
    if (auto held = kept.lock(); held->InMemory() && held->Key() == Picture.cacheKey()) return held;
  auto made = std::make_shared<TKeptPicture>(Picture);
  Kept.push_back(made);
  return made;
}

qint64 TPictureKeeper::BytesInMemory(const QImage& Shown) const {
  qint64 bytes = 0;
  for (const std::weak_ptr<TKeptPicture>& kept : Kept)
    if (auto held = kept.lock(); held && held->InMemory() && held->Key() != Shown.cacheKey()) bytes += held->Bytes();
  return bytes;
}

void TPictureKeeper::KeepToBudget(const QImage& Shown) {
  qint64 bytes = BytesInMemory(Shown);
  for (const std::weak_ptr<TKeptPicture>& kept : Kept) {
    if (bytes <= Budget) return;
    auto held = kept.lock();
    if (!held || !held->InMemory() || held->Key() == Shown.cacheKey()) continue;
    const qint64 freed = held->Bytes();
    // A picture that cannot be written stays in memory: the history keeps it either way.
    if (held->MoveToFile()) bytes -= freed;
  }
}
