// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The pictures the history keeps for background and size changes. Each
// picture is held once, however many steps refer to it. While the pictures
// only the history holds fit a budget they stay in memory; beyond it the
// oldest move to temporary files and are read back when a step needs them,
// so repeated changes of a very large background never pile up in memory.

#include <QImage>
#include <QList>
#include <memory>
#include <vector>

class QTemporaryFile;

class TKeptPicture {
 public:
  explicit TKeptPicture(QImage Picture);
  ~TKeptPicture();

  // The picture's identity while it is in memory (QImage::cacheKey).
  qint64 Key() const { return Image.cacheKey(); }
  bool InMemory() const { return !Image.isNull(); }
  qint64 Bytes() const { return Image.sizeInBytes(); }
  // The picture, read back from its file first when it was moved there;
  // EPictureMemory when it cannot be allocated, EHistoryPicture when the
  // file cannot be read.
  const QImage& Load();
  // Moves the picture to a temporary file and frees its memory; false, with
  // the picture kept in memory, when the file cannot be written.
  bool MoveToFile();

 private:
  QImage Image;  // null while the picture is in its file
  QSize Size;
  QImage::Format Format;
  qsizetype BytesPerLine = 0;
  QList<QRgb> Colors;
  std::unique_ptr<QTemporaryFile> File;  // written once, kept while the picture is
};

// A picture moved to a temporary file could not be read back.
class EHistoryPicture : public std::runtime_error {
 public:
  EHistoryPicture() : std::runtime_error("A picture kept for Undo could not be read back from its temporary file.") {}
};

class TPictureKeeper {
 public:
  static constexpr qint64 DefaultBudget = qint64(64) << 20;

  // The kept picture of Picture: the one already kept when it is the same picture.
  std::shared_ptr<TKeptPicture> Keep(const QImage& Picture);
  // Moves kept pictures to files, the oldest first, until those in memory
  // other than Shown (the picture the animation shows) take at most the budget.
  void KeepToBudget(const QImage& Shown);
  // Bytes of kept pictures in memory other than Shown.
  qint64 BytesInMemory(const QImage& Shown) const;
  void SetBudget(qint64 Bytes) { Budget = Bytes; }

 private:
  std::vector<std::weak_ptr<TKeptPicture>> Kept;  // in the order kept
  qint64 Budget = DefaultBudget;
};
