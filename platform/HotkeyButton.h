// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Hidden hotkey buttons: a window's Alt+letter keys that must work while the
// visible control is disabled, or that have no visible control, belong to
// push buttons placed where they are never seen.

#include <QRect>
#include <QString>

class QPushButton;
class QWidget;

// A push button with Caption's mnemonic ("&L" answers Alt+L) at Place in
// Parent, a place outside Parent's visible area or of no height. It is never
// seen and never takes the focus, but it is shown and enabled, so its
// mnemonic clicks it.
QPushButton* MakeHotkeyButton(QWidget* Parent, const QString& Caption, QRect Place);
