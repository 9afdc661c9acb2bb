// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/HotkeyRow.h"

#include <stdexcept>

QString HotkeyTip(const THotkeyRow& Row) {
  QString tip = Row.Hint;
  if (!Row.Keys.isEmpty()) tip += QStringLiteral(" (%1)").arg(Row.Keys);
  if (!Row.More.isEmpty()) tip += QStringLiteral(": ") + Row.More;
  return tip;
}

const THotkeyRow& FindHotkeyRow(const QList<THotkeyRow>& Rows, const QString& Hint) {
  for (const THotkeyRow& row : Rows)
    if (row.Hint == Hint) return row;
  throw std::logic_error("no hotkey row for " + Hint.toStdString());
}
