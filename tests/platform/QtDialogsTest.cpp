// The toolkit's question box as the program shows it: which key gives which answer.

#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include "platform/Dialogs.h"

namespace {

// Presses Key in the question box once it is up.
TAnswer AnswerWith(int Key, Qt::KeyboardModifiers Modifiers = Qt::NoModifier) {
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
      poll.stop();
      QTest::keyClick(box, static_cast<Qt::Key>(Key), Modifiers);
    }
  });
  poll.start(10);
  TQtDialogs dialogs;
  return dialogs.AskYesNoCancel(nullptr, QStringLiteral("Would you like to save the current project?"));
}

TEST(QtDialogs, TheSaveQuestionIsCancelledByEscapeAndAnsweredByItsHotkeys) {
  EXPECT_EQ(AnswerWith(Qt::Key_Escape), TAnswer::Cancel);
  EXPECT_EQ(AnswerWith(Qt::Key_Y, Qt::AltModifier), TAnswer::Yes);
  EXPECT_EQ(AnswerWith(Qt::Key_N, Qt::AltModifier), TAnswer::No);
  EXPECT_EQ(AnswerWith(Qt::Key_Return), TAnswer::Yes);
}

}  // namespace
