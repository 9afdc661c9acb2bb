// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/MainRecoveryHost.h"

#include <QStatusBar>

#include "builder/FigureBuilderUnit.h"
#include "editor/MainUnit.h"
#include "editor/ProjectController.h"

TMainRecoveryHost::TMainRecoveryHost(TMainForm& Main, TFigureBuilderForm* Builder) : Main(Main), Builder(Builder) {
  connect(&Main, &TMainForm::Starting, this, &TRecoveryHost::Starting);
  connect(&Main, &TMainForm::Closed, this, &TRecoveryHost::Closing);
  if (Builder != nullptr) connect(Builder, &TFigureBuilderForm::TypeChanged, this, &TRecoveryHost::TypeChanged);
}

QWidget* TMainRecoveryHost::DialogParent() const { return &Main; }

void TMainRecoveryHost::ShowStatus(const QString& Text, int Milliseconds) {
  Main.Controls().StatusBar->showMessage(Text, Milliseconds);
}

QByteArray TMainRecoveryHost::TypeFile() const { return Builder->WorkingTypeFile(); }

QString TMainRecoveryHost::TypePath() const { return Builder->GetFigureFileName(); }

void TMainRecoveryHost::InstallProject(TAnimation&& Animation, TEditState&& Edit, const QString& Path) {
  Main.Project().RecoverProject(std::move(Animation), std::move(Edit), Path);
}

void TMainRecoveryHost::InstallType(const TFigureType& Type, const QString& Path) {
  if (Builder != nullptr) Builder->RecoverType(Type, Path);
}
