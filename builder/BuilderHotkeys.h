// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The builder's hotkeys and what each of its controls does, for its
// tooltips, its menus and the Keyboard Shortcuts window.

#include <QList>
#include <QString>

#include "platform/HotkeyRow.h"

// The builder's controls and hotkeys, in the order of its tool column and menus.
const QList<THotkeyRow>& BuilderHotkeys();
// The row whose hint is Hint.
const THotkeyRow& BuilderHotkey(const QString& Hint);
