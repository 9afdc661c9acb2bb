// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the recovery keeper needs of the program besides the document: a
// place to speak (the status line, and a window over which its questions
// and notices show), the figure type being built, ways to install
// recovered work, and word of the program's start and end.

#include <QByteArray>
#include <QObject>
#include <QString>

#include "model/Document.h"

class QWidget;

class TRecoveryHost : public QObject {
  Q_OBJECT
 public:
  // The window the keeper's questions and notices show over.
  virtual QWidget* DialogParent() const = 0;
  // A line in the status bar for Milliseconds (0: until the next line).
  virtual void ShowStatus(const QString& Text, int Milliseconds) = 0;
  // Whether a figure type is being built whose work is kept too; then its
  // .stk file's bytes as they would be saved, and the file it came from.
  virtual bool KeepsType() const = 0;
  virtual QByteArray TypeFile() const = 0;
  virtual QString TypePath() const = 0;
  // Makes recovered work the document's (unsaved, under the name of the
  // file it came from) and the type being built.
  virtual void InstallProject(TAnimation&& Animation, TEditState&& Edit, const QString& Path) = 0;
  virtual void InstallType(const TFigureType& Type, const QString& Path) = 0;

 signals:
  // The program is starting: what a crash left behind may be offered now.
  void Starting();
  // The figure type being built or its file name changed.
  void TypeChanged();
  // The program is closing, after the save question allowed it.
  void Closing();
};
