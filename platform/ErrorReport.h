// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program's general error report: handlers run through RunGuarded, and an
// exception they throw (a file that cannot be read, a damaged record) ends the
// command and is shown in a message box. No exception crosses the event loop.

#include <exception>
#include <utility>

#include "platform/Dialogs.h"

template <class Action>
void RunGuarded(TDialogs& Dialogs, QWidget* Parent, Action&& Do) {
  try {
    std::forward<Action>(Do)();
  } catch (const std::exception& error) {
    Dialogs.ShowMessage(Parent, QString::fromUtf8(error.what()));
  } catch (...) {
    Dialogs.ShowMessage(Parent, QStringLiteral("An unexpected error stopped the command."));
  }
}
