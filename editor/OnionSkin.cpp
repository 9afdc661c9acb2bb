// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/OnionSkin.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QSettings>
#include <QSpinBox>
#include <algorithm>

TOnionSkin TOnionSkin::Load() {
  QSettings settings;
  TOnionSkin skin;
  skin.Shown = settings.value(QStringLiteral("OnionSkin/Shown"), skin.Shown).toBool();
  skin.Before = std::clamp(settings.value(QStringLiteral("OnionSkin/Before"), skin.Before).toInt(), 0, Most);
  skin.After = std::clamp(settings.value(QStringLiteral("OnionSkin/After"), skin.After).toInt(), 0, Most);
  return skin;
}

void TOnionSkin::Save() const {
  QSettings settings;
  settings.setValue(QStringLiteral("OnionSkin/Shown"), Shown);
  settings.setValue(QStringLiteral("OnionSkin/Before"), Before);
  settings.setValue(QStringLiteral("OnionSkin/After"), After);
}

TColor TOnionSkin::Color(bool IsBefore, int Distance) {
  // From the nearest colour towards white, a little more with each frame
  // further away, never quite white.
  const int r = IsBefore ? 192 : 150, g = IsBefore ? 192 : 185, b = IsBefore ? 192 : 255;
  const auto lighter = [&](int Channel) { return Channel + (255 - Channel) * (Distance - 1) / (Most + 1); };
  return FromQColor(QColor(lighter(r), lighter(g), lighter(b)));
}

TOnionSkinForm::TOnionSkinForm(QWidget* Parent) : QDialog(Parent) {
  setWindowTitle(QStringLiteral("Onion Skin"));
  BeforeEdit = new QSpinBox(this);
  AfterEdit = new QSpinBox(this);
  for (QSpinBox* edit : {BeforeEdit, AfterEdit}) edit->setRange(0, TOnionSkin::Most);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QFormLayout(this);
  layout->addRow(QStringLiteral("Frames &before:"), BeforeEdit);
  layout->addRow(QStringLiteral("Frames &after:"), AfterEdit);
  layout->addRow(buttons);
}

void TOnionSkinForm::Show(const TOnionSkin& Settings) {
  BeforeEdit->setValue(Settings.Before);
  AfterEdit->setValue(Settings.After);
}

TOnionSkin TOnionSkinForm::Settings(bool Shown) const { return {Shown, BeforeEdit->value(), AfterEdit->value()}; }
