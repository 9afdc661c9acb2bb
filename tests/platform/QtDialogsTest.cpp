// SPDX-License-Identifier: GPL-3.0-or-later
// The toolkit's question box as the program shows it: which key gives which
// answer; the notice that does not wait.

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMessageBox>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "platform/Dialogs.h"

namespace {

// Presses Key in the question box once it is up and active, while Ask
// asks. A box not yet active may drop an Alt+letter key (its shortcuts
// count only in the active window), so a box still up half a second after
// the press gets the key again.
template <class Ask>
auto PressIn(int Key, Qt::KeyboardModifiers Modifiers, Ask&& Asking) {
  QTimer poll;
  QElapsedTimer sincePress;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr || !box->isActiveWindow() || (sincePress.isValid() && sincePress.elapsed() < 500)) return;
    sincePress.start();
    QTest::keyClick(box, static_cast<Qt::Key>(Key), Modifiers);
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

// The Tween dialog opens on the offer; Return takes what the fields then
// show, Escape calls it off.
TEST(QtDialogs, TheTweenDialogGivesTheCountAndEasingChosen) {
  struct TRow {
    int Count, Easing;  // put into the fields; -1: left as offered
    int Key;
    std::optional<TTweenChoice> Want;
  };
  const std::vector<TRow> rows{
      {-1, -1, Qt::Key_Return, TTweenChoice{7, TEasing::EaseOut}},
      {12, 3, Qt::Key_Return, TTweenChoice{12, TEasing::EaseInOut}},
      {12, 3, Qt::Key_Escape, std::nullopt},
  };
  for (const TRow& row : rows) {
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
      auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
      if (dialog == nullptr) return;
      poll.stop();
      auto* count = dialog->findChild<QSpinBox*>("Count");
      auto* easing = dialog->findChild<QComboBox*>("Easing");
      if (row.Count >= 0) count->setValue(row.Count);
      if (row.Easing >= 0) easing->setCurrentIndex(row.Easing);
      count->setFocus();
      QTest::keyClick(count, static_cast<Qt::Key>(row.Key));
    });
    poll.start(10);
    EXPECT_EQ(TQtDialogs().AskTween(nullptr, {7, TEasing::EaseOut}), row.Want) << row.Count << " " << row.Key;
  }
}

}  // namespace

namespace {

const QStringList SaveTypes = {"Tavel File (*.tvl)", "Gif (*.gif)", "Video (*.mp4 *.webm)", "All files (*)"};

TEST(DialogSeam, ATypedEndingChoosesTheTypeThatNamesIt) {
  struct TRow {
    const char* Typed;
    int Chosen;
    int Type;
  } rows[] = {{"walk.gif", 0, 1},  {"walk.GIF", 0, 1},      {"walk.tvl", 1, 0}, {"dir.gif/walk", 1, 1},
              {"walk.webm", 0, 2}, {"walk.jpeg", 1, 1},     {"walk", 0, 0},     {".gif", 0, 0},
              {"walk.mp4", 3, 2},  {"x/walk.tvl.gif", 0, 1}};
  for (const TRow& row : rows) EXPECT_EQ(FileTypeOfName(SaveTypes, row.Chosen, row.Typed), row.Type) << row.Typed;
}

// The toolkit's save dialog gives a name typed without an ending the
// selected type's ending, so the seam keeps that type.
TEST(DialogSeam, ANameTypedWithoutAnEndingTakesTheSelectedTypes) {
  QTemporaryDir dir;
  for (const int type : {0, 1, 2}) {
    TFileDialogRequest request;
    request.Filters = SaveTypes;
    request.FilterIndex = type == 2 ? 0 : type;
    request.DefaultExt = "tvl";
    request.InitialDir = dir.path();
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
      auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
      if (dialog == nullptr) return;
      poll.stop();
      // The third time the user picks the video type in the dialog.
      if (type == 2) {
        dialog->selectNameFilter(SaveTypes[2]);
        emit dialog->filterSelected(SaveTypes[2]);
      }
      dialog->selectFile("walk");
      static_cast<QDialog*>(dialog)->accept();  // QFileDialog::accept reads the typed name
    });
    poll.start(10);
    const TFileDialogResult chosen = TQtDialogs().SaveFile(nullptr, request);
    ASSERT_TRUE(chosen.Accepted);
    const char* const written[] = {"walk.tvl", "walk.gif", "walk.mp4"};
    EXPECT_EQ(QFileInfo(chosen.Path).fileName().toStdString(), written[type]);
    EXPECT_EQ(chosen.FilterIndex, type);
  }
}

}  // namespace
