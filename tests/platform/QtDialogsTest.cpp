// SPDX-License-Identifier: GPL-3.0-or-later
// The toolkit's question box as the program shows it: which key gives which
// answer; the notice that does not wait.

#include <gtest/gtest.h>

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "platform/Dialogs.h"

namespace {

// Presses Key in the question box once it is up, while Ask asks.
template <class Ask>
auto PressIn(int Key, Qt::KeyboardModifiers Modifiers, Ask&& Asking) {
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
      poll.stop();
      QTest::keyClick(box, static_cast<Qt::Key>(Key), Modifiers);
    }
  });
  poll.start(10);
  TQtDialogs dialogs;
  return Asking(dialogs);
}

TAnswer AnswerWith(int Key, Qt::KeyboardModifiers Modifiers = Qt::NoModifier) {
  return PressIn(Key, Modifiers, [](TDialogs& D) {
    return D.AskYesNoCancel(nullptr, QStringLiteral("Would you like to save the current project?"));
  });
}

TEST(QtDialogs, TheSaveQuestionIsCancelledByEscapeAndAnsweredByItsHotkeys) {
  EXPECT_EQ(AnswerWith(Qt::Key_Escape), TAnswer::Cancel);
  EXPECT_EQ(AnswerWith(Qt::Key_Y, Qt::AltModifier), TAnswer::Yes);
  EXPECT_EQ(AnswerWith(Qt::Key_N, Qt::AltModifier), TAnswer::No);
  EXPECT_EQ(AnswerWith(Qt::Key_Return), TAnswer::Yes);
}

TEST(QtDialogs, TheRecoveryOfferIsTakenByReturnAndPutOffByEscape) {
  const auto answer = [](int Key) {
    return PressIn(Key, Qt::NoModifier, [](TDialogs& D) { return D.AskRecover(nullptr, QStringLiteral("Recover?")); });
  };
  EXPECT_EQ(answer(Qt::Key_Return), TRecoveryAnswer::Recover);
  EXPECT_EQ(answer(Qt::Key_Escape), TRecoveryAnswer::Later);
}

// A notice returns at once (a modal box would hold the test here) and a
// second one takes the place of the first still shown.
TEST(QtDialogs, ANoticeLeavesWorkGoingAndASecondReplacesTheFirst) {
  TQtDialogs dialogs;
  QWidget parent;
  dialogs.ShowNotice(&parent, QStringLiteral("first"));
  dialogs.ShowNotice(&parent, QStringLiteral("second"));
  const QList<QMessageBox*> boxes = parent.findChildren<QMessageBox*>();
  ASSERT_EQ(boxes.size(), 1);
  EXPECT_EQ(boxes[0]->text(), QStringLiteral("second"));
  EXPECT_TRUE(boxes[0]->isVisible());
  EXPECT_EQ(boxes[0]->windowModality(), Qt::NonModal);
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

}  // namespace

namespace {

TEST(QtDialogs, ThePictureDialogPreviewsTheFileUnderTheCursor) {
  QTemporaryDir dir;
  for (const char* name : {"red.bmp", "broken.bmp"}) {
    QFile file(dir.filePath(name));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  }
  TFileDialogRequest request;
  request.Filters = {"Bitmap Image (*.bmp)", "JPeg Image (*.jpg)"};
  request.InitialDir = dir.path();
  QStringList asked;
  request.Preview = [&](const QString& Path, int FilterIndex) {
    asked << QFileInfo(Path).fileName() + QString::number(FilterIndex);
    QImage red(40, 20, QImage::Format_RGB32);
    red.fill(Qt::red);
    return Path.endsWith("red.bmp") ? red : QImage();
  };
  bool shown = false, cleared = false;
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    if (dialog == nullptr) return;
    poll.stop();
    auto* preview = dialog->findChild<QLabel*>("Preview");
    ASSERT_NE(preview, nullptr);
    emit dialog->currentChanged(dir.filePath("red.bmp"));
    shown = !preview->pixmap().isNull() && preview->pixmap().toImage().pixel(10, 5) == qRgb(255, 0, 0);
    emit dialog->currentChanged(dir.filePath("broken.bmp"));
    cleared = preview->pixmap().isNull();
    dialog->reject();
  });
  poll.start(10);
  EXPECT_FALSE(TQtDialogs().OpenPicture(nullptr, request).Accepted);
  EXPECT_TRUE(shown);
  EXPECT_TRUE(cleared);
  EXPECT_EQ(asked, QStringList({"red.bmp0", "broken.bmp0"}));
}

}  // namespace
