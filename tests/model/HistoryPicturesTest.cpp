// SPDX-License-Identifier: GPL-3.0-or-later
// Background and size changes keep their pictures for Undo within a memory
// budget: beyond it they wait in temporary files and come back unchanged.

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include "model/Document.h"
#include "tests/support/TestPictures.h"

namespace {

TEST(HistoryPictures, PicturesBeyondTheBudgetWaitInFilesAndComeBackUnchanged) {
  QTemporaryDir temp;
  const QByteArray oldTemp = qgetenv("TMPDIR");
  const QImage one = Gradient(100, 80);
  struct TRow {
    const char* Name;
    QString TempDir;
    qint64 Budget;
    bool Moves;  // whether pictures move to files
  };
  const std::vector<TRow> rows{
      {"within the budget", temp.path(), 100 * one.sizeInBytes(), false},
      {"beyond it", temp.path(), one.sizeInBytes(), true},
      {"no temporary folder", temp.filePath("missing"), one.sizeInBytes(), false},
  };
  // Budgets are of pictures other than the one shown (first the white 506 x 415).
  for (const TRow& row : rows) {
    SCOPED_TRACE(row.Name);
    qputenv("TMPDIR", row.TempDir.toLocal8Bit());
    {
      TDocument doc;
      doc.SetHistoryPictureBudget(row.Budget);
      std::vector<QImage> shown{doc.Animation().Background};
      const auto step = [&](const std::function<void()>& Command) {
        Command();
        shown.push_back(doc.Animation().Background);
        if (row.Moves) {
          EXPECT_LE(doc.HistoryPictureBytes(), row.Budget);
        } else {
          EXPECT_GT(doc.HistoryPictureBytes(), one.sizeInBytes());
        }
      };
      step([&] { doc.LoadBackground(one, 0, {}); });
      step([&] { doc.ChangeDimensions(140, 50); });
      step([&] { doc.LoadBackground(Gradient(90, 120).convertToFormat(QImage::Format_Indexed8), 0, {}); });
      step([&] { doc.ClearBackground(); });
      step([&] { doc.LoadBackground(Gradient(70, 70).mirrored(), 0, {}); });
      for (std::size_t k = shown.size() - 1; k > 0; --k) {
        doc.Undo();
        ASSERT_EQ(doc.Animation().Background, shown[k - 1]) << "undo " << k;
        if (row.Moves) {
          EXPECT_LE(doc.HistoryPictureBytes(), row.Budget);
        }
      }
      for (std::size_t k = 1; k < shown.size(); ++k) {
        doc.Redo();
        ASSERT_EQ(doc.Animation().Background, shown[k]) << "redo " << k;
      }
    }
    EXPECT_TRUE(QDir(temp.path()).isEmpty());  // the files go with the history
  }
  qputenv("TMPDIR", oldTemp);
}

}  // namespace
