// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One row of a window's hotkey table: a key, the control's hint and what it
// does. Both windows keep such a table for their tooltips, their menus and
// the Keyboard Shortcuts window.

#include <QList>
#include <QString>

struct THotkeyRow {
  QString Keys;  // "Alt+L"; empty for a control without a key
  QString Hint;  // the control's short hint, or its caption
  QString More;  // what it does, when the hint does not say; may be empty
};

// A control's tooltip: "Hint (Keys): more".
QString HotkeyTip(const THotkeyRow& Row);

// The row of Rows whose hint is Hint; throws std::logic_error when there is
// none, so a control whose row is missing or renamed fails at once.
const THotkeyRow& FindHotkeyRow(const QList<THotkeyRow>& Rows, const QString& Hint);
