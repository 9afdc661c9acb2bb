// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Files are read and written whole. Writing goes through a temporary file in
// the same folder that replaces the old file only once the new content is
// completely written, so a failed save never damages the previous file.
//
// Only regular files are read (a link is followed to what it names): a
// device, a pipe or a folder is refused before it is opened, so nothing can
// feed a reader without end or hold the window waiting.

#include <QByteArray>
#include <QString>

class QIODevice;
class QSaveFile;

// The whole file, or EFileError with the platform's reason. A file larger
// than MaxBytes is refused the same way instead of being read; no more than
// MaxBytes + 1 bytes are ever read, even from a file that grows meanwhile.
QByteArray ReadWholeFile(const QString& Path, qint64 MaxBytes);

// At most the first MaxBytes bytes of the file; the rest is not read. For
// formats that ignore what follows their last record.
QByteArray ReadFileStart(const QString& Path, qint64 MaxBytes);

// Creates or replaces the file at Path with Bytes; EFileError when that fails,
// leaving any earlier file of that name as it was.
void WriteWholeFile(const QString& Path, const QByteArray& Bytes);

// Writes all of Bytes to Out, carrying on after a short write so that a
// failure leaves the system's reason (a full disk, a size limit) in
// Out.errorString(). False when not everything was written.
bool WriteFully(QIODevice& Out, const QByteArray& Bytes);

// Replaces the target of File with what was written to it; EFileError with
// the path and the system's reason when any of it could not be written, and
// then the target keeps what it held. (QSaveFile::commit() alone would
// rename a file whose buffered end failed to reach the disk.)
void CommitSaveFile(QSaveFile& File);

// The part of Path after its last folder separator ('/', and '\\' as well on Windows).
QString FileNamePart(const QString& Path);
