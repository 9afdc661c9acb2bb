// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The single-byte code page of the names in project files: Windows-1252, the
// superset of Latin-1 with printable characters in 0x80..0x9F.

#include <QByteArray>
#include <QString>

// Each character becomes one byte; one the code page lacks becomes '?'.
QByteArray ToCodePage(const QString& Text);
QString FromCodePage(const QByteArray& Bytes);

// Text as a project file stores it as a type name: in the code page (a
// character it lacks becomes '?') and at most 255 bytes long.
QString StorableName(const QString& Text);
