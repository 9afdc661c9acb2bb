// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/WholeFile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include "files/FileError.h"

namespace {

// Opens Path for reading once it is known to be a regular file.
void OpenRegularFile(QFile& File, const QString& Path) {
  const QFileInfo info(Path);
  if (info.exists() && !info.isFile())
    throw EFileError(Path, info.isDir() ? QStringLiteral("Is a directory") : QStringLiteral("Not a regular file"));
  if (!File.open(QIODevice::ReadOnly)) throw EFileError(Path, File.errorString());
}

// Reads until Limit bytes are in or the file ends.
QByteArray ReadUpTo(QFile& File, const QString& Path, qint64 Limit) {
  QByteArray bytes;
  bytes.resize(static_cast<qsizetype>(std::min(Limit, std::max<qint64>(File.size(), 0))));
  qint64 got = 0;
  for (;;) {
    if (got == bytes.size()) {
      if (got >= Limit) break;
      // The file is longer than it said: grow in steps, never past Limit.
      bytes.resize(static_cast<qsizetype>(std::min(Limit, got + (qint64(1) << 16))));
    }
    const qint64 n = File.read(bytes.data() + got, bytes.size() - got);
    if (n < 0) throw EFileError(Path, File.errorString());
    if (n == 0) break;
    got += n;
  }
  bytes.truncate(static_cast<qsizetype>(got));
  return bytes;
}

}  // namespace

QByteArray ReadWholeFile(const QString& Path, qint64 MaxBytes) {
  QFile file(Path);
  OpenRegularFile(file, Path);
  const auto tooLarge = [&](qint64 Size) {
    return EFileError(Path, QStringLiteral("the file is too large to open (%1 bytes)").arg(Size));
  };
  if (file.size() > MaxBytes) throw tooLarge(file.size());
  QByteArray bytes = ReadUpTo(file, Path, MaxBytes + 1);
  if (bytes.size() > MaxBytes) throw tooLarge(bytes.size());
  return bytes;
}

QByteArray ReadFileStart(const QString& Path, qint64 MaxBytes) {
  QFile file(Path);
  OpenRegularFile(file, Path);
  return ReadUpTo(file, Path, MaxBytes);
}

bool WriteFully(QIODevice& Out, const QByteArray& Bytes) {
  // A write that stops short (the disk filled up part-way) reports no
  // error; the next one fails with the reason.
  qint64 done = 0;
  while (done < Bytes.size()) {
    const qint64 n = Out.write(Bytes.constData() + done, Bytes.size() - done);
    if (n <= 0) return false;
    done += n;
  }
  return true;
}

void CommitSaveFile(QSaveFile& File) {
  if (!File.flush()) {
    const QString reason = File.errorString();
    File.cancelWriting();
    throw EFileError(File.fileName(), reason);
  }
  if (!File.commit()) throw EFileError(File.fileName(), File.errorString());
}

void WriteWholeFile(const QString& Path, const QByteArray& Bytes) {
  QSaveFile file(Path);
  // One write of the whole buffer, straight to the file.
  if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) throw EFileError(Path, file.errorString());
  if (!WriteFully(file, Bytes)) {
    const QString reason = file.errorString();
    file.cancelWriting();
    throw EFileError(Path, reason);
  }
  CommitSaveFile(file);
}

QString FileNamePart(const QString& Path) {
  qsizetype cut = Path.lastIndexOf(QLatin1Char('/'));
#ifdef Q_OS_WIN
  cut = std::max(cut, Path.lastIndexOf(QLatin1Char('\\')));
#endif
  return Path.mid(cut + 1);
}
