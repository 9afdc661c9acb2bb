// SPDX-License-Identifier: GPL-3.0-or-later
// Smooth Lines, in the View menu: the figures' lines and circles drawn
// antialiased on the drawing area, the thumbnails, in playback and in every
// export; the handles stay sharp. The choice is kept in the user's settings.

#include <QAction>
#include <QMenu>
#include <QSettings>

#include "editor/MainUnit.h"

namespace {
const QString SmoothLinesKey = QStringLiteral("View/SmoothLines");
}  // namespace

void TMainForm::CreateSmoothLinesItem(QMenu* View) {
  Ui.SmoothLinesAction = View->addAction(QStringLiteral("Smooth Lines"));
  Ui.SmoothLinesAction->setCheckable(true);
  Ui.SmoothLinesAction->setChecked(QSettings().value(SmoothLinesKey, false).toBool());
  connect(Ui.SmoothLinesAction, &QAction::triggered, this, [this] { Guard([this] { SmoothLinesClick(); }); });
}

TLineStyle TMainForm::Lines() const {
  return Ui.SmoothLinesAction != nullptr && Ui.SmoothLinesAction->isChecked() ? TLineStyle::Smooth : TLineStyle::Pixel;
}

void TMainForm::SmoothLinesClick() {
  QSettings().setValue(SmoothLinesKey, Ui.SmoothLinesAction->isChecked());
  // Whatever shows figures is drawn again; playback draws its next frame so.
  RefreshUnderlay(true);
  if (!Ui.PlaybackTimer->isActive()) DrawFigures();
  if (!Animation().Frames.empty()) RedrawTimelineImages();
}
