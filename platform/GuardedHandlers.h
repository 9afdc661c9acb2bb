// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Wiring controls to handlers that run through the general error report
// (RunGuarded): an exception a handler throws ends the command and is shown
// in a message box over Parent, and never crosses the event loop.
//
// The handler is a member function of Receiver, a QObject; the connection
// ends with Receiver. A handler takes the signal's leading arguments and may
// leave out the rest, as a Qt slot does: a handler without arguments serves
// triggered(bool) and clicked(bool).

#include <QAbstractButton>
#include <QAction>
#include <QMetaObject>
#include <QObject>
#include <type_traits>
#include <utility>

#include "platform/ErrorReport.h"

// Sender's Signal runs Handler on Receiver, guarded.
template <class TSender, class TSignal, class TReceiver, class TOwner, class... TArgs>
QMetaObject::Connection ConnectGuarded(TDialogs& Dialogs, QWidget* Parent, TSender* Sender, TSignal Signal,
                                       TReceiver* Receiver, void (TOwner::*Handler)(TArgs...)) {
  static_assert(std::is_base_of_v<QObject, TReceiver> && std::is_base_of_v<TOwner, TReceiver>,
                "the receiver is a QObject that has the handler");
  return QObject::connect(Sender, Signal, Receiver, [dialogs = &Dialogs, Parent, Receiver, Handler](TArgs... Args) {
    RunGuarded(*dialogs, Parent, [&] { (Receiver->*Handler)(Args...); });
  });
}

// A menu entry's triggered runs Handler on Receiver, guarded.
template <class TReceiver, class TOwner>
QMetaObject::Connection ConnectGuarded(TDialogs& Dialogs, QWidget* Parent, QAction* Action, TReceiver* Receiver,
                                       void (TOwner::*Handler)()) {
  return ConnectGuarded(Dialogs, Parent, Action, &QAction::triggered, Receiver, Handler);
}

// A button's clicked runs Handler on Receiver, guarded.
template <class TReceiver, class TOwner>
QMetaObject::Connection ConnectGuarded(TDialogs& Dialogs, QWidget* Parent, QAbstractButton* Button, TReceiver* Receiver,
                                       void (TOwner::*Handler)()) {
  return ConnectGuarded(Dialogs, Parent, Button, &QAbstractButton::clicked, Receiver, Handler);
}

// The dialogs and the window a controller's handlers report errors over,
// kept together so that a controller wires its controls with one call each.
class TWiring {
 public:
  TWiring(TDialogs& Dialogs, QWidget* Parent) : Service(&Dialogs), Owner(Parent) {}

  TDialogs& Dialogs() const { return *Service; }
  QWidget* Parent() const { return Owner; }

  // Runs Do through the general error report.
  template <class TAction>
  void Run(TAction&& Do) const {
    RunGuarded(*Service, Owner, std::forward<TAction>(Do));
  }
  // ConnectGuarded with these dialogs and this window.
  template <class... TArgs>
  QMetaObject::Connection Connect(TArgs&&... Args) const {
    return ConnectGuarded(*Service, Owner, std::forward<TArgs>(Args)...);
  }

 private:
  TDialogs* Service;
  QWidget* Owner;
};
