// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Hotkeys and what each control does, for tooltips, menus and the Keyboard
// Shortcuts window. The builder's table is here; the main window has its own.

#include <QList>
#include <QString>

struct THotkeyRow {
  QString Keys;  // "Alt+L"; empty for a control without a key
  QString Hint;  // the control's short hint, or its caption
  QString More;  // what it does, when the hint does not say; may be empty
};

// The builder's controls and hotkeys, in the order of its tool column and menus.
const QList<THotkeyRow>& BuilderHotkeys();

// A control's tooltip: "Hint (Keys): more".
QString HotkeyTip(const THotkeyRow& Row);
