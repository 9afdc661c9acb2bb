// SPDX-License-Identifier: GPL-3.0-or-later
// Handlers wired through ConnectGuarded: what reaches them, what an
// exception they throw becomes, and the connection's end with its receiver.

#include <gtest/gtest.h>

#include <QAction>
#include <QPushButton>
#include <functional>
#include <memory>
#include <stdexcept>

#include "platform/GuardedHandlers.h"
#include "platform/PictureBox.h"
#include "tests/support/ScriptedDialogs.h"

namespace {

struct TReceiver : QObject {
  std::function<void()> Do = [] {};
  int Calls = 0;
  QPointF Pressed;
  void Run() {
    ++Calls;
    Do();
  }
  void Press(Qt::MouseButton, Qt::KeyboardModifiers, double X, double Y) {
    Pressed = QPointF(X, Y);
    Run();
  }
};

TEST(GuardedHandlers, EverySenderReachesItsHandlerAndAThrowBecomesAMessage) {
  struct TCase {
    const char* What;
    std::function<void()> Do;
    QStringList Messages;
  };
  const std::vector<TCase> cases = {
      {"returns", [] {}, {}},
      {"throws", [] { throw std::runtime_error("that file cannot be read"); }, {"that file cannot be read"}},
      {"throws no exception", [] { throw 1; }, {"An unexpected error stopped the command."}},
  };
  for (const TCase& c : cases) {
    TScriptedDialogs dialogs;
    QWidget parent;
    TReceiver receiver;
    receiver.Do = c.Do;
    QAction action;
    QPushButton button;
    TPictureBox box;
    ConnectGuarded(dialogs, &parent, &action, &receiver, &TReceiver::Run);
    ConnectGuarded(dialogs, &parent, &button, &receiver, &TReceiver::Run);
    ConnectGuarded(dialogs, &parent, &box, &TPictureBox::MouseDown, &receiver, &TReceiver::Press);
    action.trigger();
    button.click();
    emit box.MouseDown(Qt::LeftButton, {}, 3.5, 4.0);
    EXPECT_EQ(receiver.Calls, 3) << c.What;
    EXPECT_EQ(receiver.Pressed, QPointF(3.5, 4.0)) << c.What;
    QStringList expected;
    for (int i = 0; i < 3; ++i) expected << c.Messages;
    EXPECT_EQ(dialogs.Messages(), expected) << c.What;
  }
}

TEST(GuardedHandlers, TheConnectionEndsWithItsReceiver) {
  TScriptedDialogs dialogs;
  QAction action;
  auto receiver = std::make_unique<TReceiver>();
  ConnectGuarded(dialogs, nullptr, &action, receiver.get(), &TReceiver::Run);
  receiver.reset();
  action.trigger();  // would reach a receiver that is gone
  EXPECT_TRUE(dialogs.Calls.empty());
}

}  // namespace
