// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The main window's hotkeys and what each control does, for its tooltips,
// its menus and the Keyboard Shortcuts window.

#include "platform/HotkeyRow.h"

// Every hotkey and control of the main window, in the order the Keyboard
// Shortcuts window lists them.
const QList<THotkeyRow>& MainHotkeys();
// The row whose hint is Hint.
const THotkeyRow& MainHotkey(const QString& Hint);
