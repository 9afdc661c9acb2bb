// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The recovery keeper's host in the program: the main window's status bar
// and project commands, and the Stick Figure Builder's type.

#include "editor/RecoveryHost.h"

class TFigureBuilderForm;
class TMainForm;

class TMainRecoveryHost : public TRecoveryHost {
  Q_OBJECT
 public:
  // Builder may be null: the type being built is then not kept.
  TMainRecoveryHost(TMainForm& Main, TFigureBuilderForm* Builder);

  QWidget* DialogParent() const override;
  void ShowStatus(const QString& Text, int Milliseconds) override;
  bool KeepsType() const override { return Builder != nullptr; }
  QByteArray TypeFile() const override;
  QString TypePath() const override;
  void InstallProject(TAnimation&& Animation, TEditState&& Edit, const QString& Path) override;
  void InstallType(const TFigureType& Type, const QString& Path) override;

 private:
  TMainForm& Main;
  TFigureBuilderForm* Builder;
};
