// SPDX-License-Identifier: GPL-3.0-or-later
#include <QApplication>
#include <QColorDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGridLayout>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>

#include "platform/Dialogs.h"

namespace {

QString Caption() { return QApplication::applicationName(); }

// A picture of the file under the cursor beside the file list, scaled to
// fit; nothing for a file that is not a picture the program reads.
void AddPreview(QFileDialog& Dialog, const TFileDialogRequest& Request) {
  auto* layout = qobject_cast<QGridLayout*>(Dialog.layout());
  if (layout == nullptr) return;  // a platform dialog that cannot take it
  constexpr int Side = 200;
  auto* preview = new QLabel(&Dialog);
  preview->setObjectName(QStringLiteral("Preview"));
  preview->setFixedSize(Side, Side);
  preview->setAlignment(Qt::AlignCenter);
  preview->setFrameShape(QFrame::StyledPanel);
  layout->addWidget(preview, 1, layout->columnCount(), layout->rowCount() - 1, 1);
  QObject::connect(&Dialog, &QFileDialog::currentChanged, preview, [&Dialog, preview, Request](const QString& Path) {
    QImage picture;
    if (QFileInfo(Path).isFile())
      picture = Request.Preview(
          Path, static_cast<int>(std::max<qsizetype>(0, Request.Filters.indexOf(Dialog.selectedNameFilter()))));
    if (picture.isNull()) {
      preview->clear();
      return;
    }
    preview->setPixmap(QPixmap::fromImage(
        picture.scaled(preview->size() - QSize(4, 4), Qt::KeepAspectRatio, Qt::SmoothTransformation)));
  });
}

TFileDialogResult RunFileDialog(QWidget* Parent, const TFileDialogRequest& Request, QFileDialog::AcceptMode Mode) {
  QFileDialog dialog(Parent);
  // The toolkit's own dialog, which can show a preview beside its list.
  if (Request.Preview) dialog.setOption(QFileDialog::DontUseNativeDialog, true);
  dialog.setAcceptMode(Mode);
  dialog.setFileMode(Mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
  // The program asks its own question before replacing a file.
  dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
  if (!Request.Filters.isEmpty()) {
    dialog.setNameFilters(Request.Filters);
    if (Request.FilterIndex >= 0 && Request.FilterIndex < Request.Filters.size())
      dialog.selectNameFilter(Request.Filters.at(Request.FilterIndex));
  }
  if (!Request.DefaultExt.isEmpty()) dialog.setDefaultSuffix(Request.DefaultExt);
  if (Mode == QFileDialog::AcceptSave) {
    // A name typed without an ending gets the selected file type's, so the
    // ending never chooses another type than the one selected.
    const auto follow = [&dialog, Request](const QString& Filter) {
      const QStringList endings = FilterEndings(Filter);
      dialog.setDefaultSuffix(endings.isEmpty() ? Request.DefaultExt : endings.constFirst().mid(1));
    };
    if (!Request.Filters.isEmpty()) follow(dialog.selectedNameFilter());
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, follow);
  }
  if (!Request.InitialDir.isEmpty()) dialog.setDirectory(Request.InitialDir);
  if (!Request.FileName.isEmpty()) dialog.selectFile(Request.FileName);
  if (Request.Preview) AddPreview(dialog, Request);

  TFileDialogResult result;
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return result;
  result.Accepted = true;
  result.Path = dialog.selectedFiles().constFirst();
  result.FilterIndex = static_cast<int>(std::max<qsizetype>(0, Request.Filters.indexOf(dialog.selectedNameFilter())));
  return result;
}

}  // namespace

void TQtDialogs::ShowMessage(QWidget* Parent, const QString& Text) {
  QMessageBox box(QMessageBox::NoIcon, Caption(), Text, QMessageBox::Ok, Parent);
  box.exec();
}

void TQtDialogs::ShowNotice(QWidget* Parent, const QString& Text) {
  if (Notice == nullptr) {
    Notice = new QMessageBox(QMessageBox::NoIcon, Caption(), Text, QMessageBox::Ok, Parent);
    Notice->setAttribute(Qt::WA_DeleteOnClose);
    Notice->setWindowModality(Qt::NonModal);
  }
  Notice->setText(Text);
  Notice->show();
}

bool TQtDialogs::AskYesNo(QWidget* Parent, const QString& Text) {
  QMessageBox box(QMessageBox::Warning, QObject::tr("Warning"), Text, QMessageBox::Yes | QMessageBox::No, Parent);
  box.setDefaultButton(QMessageBox::Yes);
  return box.exec() == QMessageBox::Yes;
}

TAnswer TQtDialogs::AskYesNoCancel(QWidget* Parent, const QString& Text) {
  QMessageBox box(QMessageBox::Warning, QObject::tr("Warning"), Text,
                  QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, Parent);
  box.setDefaultButton(QMessageBox::Yes);
  box.setEscapeButton(QMessageBox::Cancel);
  switch (box.exec()) {
    case QMessageBox::Yes:
      return TAnswer::Yes;
    case QMessageBox::No:
      return TAnswer::No;
    default:
      return TAnswer::Cancel;
  }
}

TRecoveryAnswer TQtDialogs::AskRecover(QWidget* Parent, const QString& Text) {
  QMessageBox box(QMessageBox::Question, QStringLiteral("Tavel"), Text, QMessageBox::NoButton, Parent);
  QPushButton* recover = box.addButton(QStringLiteral("Recover"), QMessageBox::AcceptRole);
  QPushButton* discard = box.addButton(QStringLiteral("Discard"), QMessageBox::DestructiveRole);
  // Escape and the close box press a button no one sees: decide later.
  QPushButton* later = box.addButton(QStringLiteral("Later"), QMessageBox::RejectRole);
  later->hide();
  box.setDefaultButton(recover);
  box.setEscapeButton(later);
  box.exec();
  if (box.clickedButton() == recover) return TRecoveryAnswer::Recover;
  if (box.clickedButton() == discard) return TRecoveryAnswer::Discard;
  return TRecoveryAnswer::Later;
}

TFileDialogResult TQtDialogs::OpenFile(QWidget* Parent, const TFileDialogRequest& Request) {
  return RunFileDialog(Parent, Request, QFileDialog::AcceptOpen);
}

TFileDialogResult TQtDialogs::AskSaveFile(QWidget* Parent, const TFileDialogRequest& Request) {
  return RunFileDialog(Parent, Request, QFileDialog::AcceptSave);
}

TFileDialogResult TQtDialogs::OpenPicture(QWidget* Parent, const TFileDialogRequest& Request) {
  return RunFileDialog(Parent, Request, QFileDialog::AcceptOpen);
}

std::optional<TColor> TQtDialogs::ChooseColor(QWidget* Parent, TColor Current) {
  QColorDialog dialog(ToQColor(Current), Parent);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return FromQColor(dialog.selectedColor());
}

int TQtDialogs::ExecModal(QDialog& Dialog) { return Dialog.exec(); }

std::optional<int> TQtDialogs::AskNumber(QWidget* Parent, const QString& Title, const QString& Label, int Value,
                                         int Min, int Max) {
  bool ok = false;
  const int number = QInputDialog::getInt(Parent, Title, Label, Value, Min, Max, 1, &ok);
  if (!ok) return std::nullopt;
  return number;
}

std::optional<TTweenChoice> TQtDialogs::AskTween(QWidget* Parent, const TTweenChoice& Offer) {
  QDialog dialog(Parent);
  dialog.setWindowTitle(QStringLiteral("Tween"));
  auto* count = new QSpinBox(&dialog);
  count->setObjectName(QStringLiteral("Count"));
  count->setRange(1, 100);
  count->setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
  count->setValue(Offer.Count);
  auto* easing = new QComboBox(&dialog);
  easing->setObjectName(QStringLiteral("Easing"));
  for (const QString& name : EasingNames()) easing->addItem(name);
  easing->setCurrentIndex(static_cast<int>(Offer.Easing));
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  auto* layout = new QFormLayout(&dialog);
  layout->addRow(QStringLiteral("&In-between frames:"), count);
  layout->addRow(QStringLiteral("&Easing:"), easing);
  layout->addRow(buttons);
  count->selectAll();
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return TTweenChoice{count->value(), static_cast<TEasing>(easing->currentIndex())};
}
