#include "files/WholeFile.h"

#include <QFile>
#include <QSaveFile>

#include "files/FileError.h"

namespace {
std::string Describe(const QString& Path, const QString& Reason) {
  return QStringLiteral("%1: %2").arg(Path, Reason).toStdString();
}
}  // namespace

QByteArray ReadWholeFile(const QString& Path, qint64 MaxBytes) {
  QFile file(Path);
  if (!file.open(QIODevice::ReadOnly)) throw EFileError(Describe(Path, file.errorString()));
  if (file.size() > MaxBytes)
    throw EFileError(Describe(Path, QStringLiteral("the file is too large to open (%1 bytes)").arg(file.size())));
  QByteArray bytes = file.readAll();
  if (file.error() != QFileDevice::NoError) throw EFileError(Describe(Path, file.errorString()));
  return bytes;
}

void WriteWholeFile(const QString& Path, const QByteArray& Bytes) {
  QSaveFile file(Path);
  if (!file.open(QIODevice::WriteOnly)) throw EFileError(Describe(Path, file.errorString()));
  if (file.write(Bytes) != Bytes.size()) {
    const QString reason = file.errorString();
    file.cancelWriting();
    throw EFileError(Describe(Path, reason));
  }
  if (!file.commit()) throw EFileError(Describe(Path, file.errorString()));
}

QString FileNamePart(const QString& Path) {
  qsizetype cut = Path.lastIndexOf(QLatin1Char('/'));
#ifdef Q_OS_WIN
  cut = std::max(cut, Path.lastIndexOf(QLatin1Char('\\')));
#endif
  return Path.mid(cut + 1);
}
