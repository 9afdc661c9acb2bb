#pragma once
// Files are read and written whole. Writing goes through a temporary file in
// the same folder that replaces the old file only once the new content is
// completely written, so a failed save never damages the previous file.

#include <QByteArray>
#include <QString>

// The whole file, or EFileError with the platform's reason. Files larger than
// MaxBytes are refused the same way instead of being read.
QByteArray ReadWholeFile(const QString& Path, qint64 MaxBytes = qint64(1) << 30);

// Creates or replaces the file at Path with Bytes; EFileError when that fails,
// leaving any earlier file of that name as it was.
void WriteWholeFile(const QString& Path, const QByteArray& Bytes);

// The part of Path after its last folder separator ('/', and '\\' as well on Windows).
QString FileNamePart(const QString& Path);
