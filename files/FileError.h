// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Errors of files and decoders. what() is the sentence the general error
// report shows; the command that met the error ends there.

#include <QString>
#include <stdexcept>

class EFileError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
  // File could not be read or written for the system's Reason: the
  // sentence is "File: Reason".
  EFileError(const QString& File, const QString& Reason)
      : std::runtime_error(QStringLiteral("%1: %2").arg(File, Reason).toStdString()), Why(Reason) {}

  // The system's reason alone when a file failed, else the whole sentence.
  QString Reason() const { return Why.isEmpty() ? QString::fromUtf8(what()) : Why; }

 private:
  QString Why;
};

// What a file or a clip holds would take the animation past its most
// figure types; callers that turn other file errors into a sentence of
// their own keep this one.
class ETooManyFigureTypes : public EFileError {
 public:
  ETooManyFigureTypes() : EFileError("you cannot add any more figure types") {}
};
