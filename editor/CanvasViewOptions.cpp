// SPDX-License-Identifier: GPL-3.0-or-later
// The View menu's onion skin, stored frames shown faintly under the working
// frame, and Smooth Lines: the figures' lines and circles drawn antialiased
// on the drawing area, the thumbnails, in playback and in every export (the
// handles stay sharp). Both are kept in the user's settings.

#include <QAction>
#include <QSettings>

#include "editor/CanvasController.h"
#include "editor/MainControls.h"
#include "platform/Dialogs.h"

namespace {
const QString SmoothLinesKey = QStringLiteral("View/SmoothLines");
const QString InverseKinematicsKey = QStringLiteral("Edit/InverseKinematics");
}  // namespace

void TCanvasController::SetOnionSkin(const TOnionSkin& Settings) {
  OnionSkin = Settings;
  OnionSkin.Save();
  Ui.ShowOnionSkinAction->setChecked(OnionSkin.Shown);
  RefreshUnderlay(false);
  DrawFigures();
}

void TCanvasController::ShowOnionSkinClick() {
  TOnionSkin settings = OnionSkin;
  settings.Shown = Ui.ShowOnionSkinAction->isChecked();
  SetOnionSkin(settings);
}

void TCanvasController::OnionSkinClick() {
  TOnionSkinForm form(&Window);
  form.Show(OnionSkin);
  if (Wiring.Dialogs().ExecModal(form) == QDialog::Accepted) SetOnionSkin(form.Settings(true));
}

void TCanvasController::RecallViewOptions() {
  Ui.ShowOnionSkinAction->setChecked(OnionSkin.Shown);
  Ui.SmoothLinesAction->setChecked(QSettings().value(SmoothLinesKey, false).toBool());
  Ui.InverseKinematicsAction->setChecked(QSettings().value(InverseKinematicsKey, false).toBool());
}

void TCanvasController::InverseKinematicsClick() {
  QSettings().setValue(InverseKinematicsKey, Ui.InverseKinematicsAction->isChecked());
}

void TCanvasController::SmoothLinesClick() {
  QSettings().setValue(SmoothLinesKey, Ui.SmoothLinesAction->isChecked());
  // Whatever shows figures is drawn again; playback draws its next frame so.
  RefreshUnderlay(true);
  if (!Ui.Playing()) DrawFigures();
}
