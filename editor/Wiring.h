// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// How a controller connects the window's controls to its handlers: every
// handler runs through the program's general error report, so an error
// ends the command in a message box and never crosses the event loop.

#include <QAbstractButton>
#include <QAction>
#include <QObject>
#include <utility>

#include "platform/ErrorReport.h"

class TWiring {
 public:
  TWiring(TDialogs& Dialogs, QWidget* Parent) : Service(&Dialogs), Owner(Parent) {}

  // The dialogs the handlers ask through, and the window they ask over.
  TDialogs& Dialogs() const { return *Service; }
  QWidget* Parent() const { return Owner; }

  // Runs Do through the general error report.
  template <class Action>
  void Run(Action&& Do) const {
    RunGuarded(*Service, Owner, std::forward<Action>(Do));
  }

  // Signal Sent of From runs handler Do of To, guarded; the handler takes
  // the signal's first arguments (or none).
  template <class Sender, class Signal, class Target, class... Arguments>
  void Connect(Sender* From, Signal Sent, Target* To, void (Target::*Do)(Arguments...)) const {
    QObject::connect(From, Sent, To,
                     [guard = *this, To, Do](Arguments... Given) { guard.Run([&] { (To->*Do)(Given...); }); });
  }
  // A button's click and a menu entry's trigger, the common cases.
  template <class Target>
  void Click(QAbstractButton* Button, Target* To, void (Target::*Do)()) const {
    QObject::connect(Button, &QAbstractButton::clicked, To,
                     [guard = *this, To, Do] { guard.Run([&] { (To->*Do)(); }); });
  }
  template <class Target>
  void Menu(QAction* Action, Target* To, void (Target::*Do)()) const {
    QObject::connect(Action, &QAction::triggered, To, [guard = *this, To, Do] { guard.Run([&] { (To->*Do)(); }); });
  }

 private:
  TDialogs* Service;
  QWidget* Owner;
};
