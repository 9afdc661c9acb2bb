#pragma once
// A dialog seam for tests: answers every modal interaction from queues filled
// by the test and records what was asked. A question nobody scripted fails
// the test and is answered No / Cancel, so nothing ever waits for a user.

#include <gtest/gtest.h>

#include <QDialog>
#include <deque>
#include <functional>

#include "platform/Dialogs.h"

class TScriptedDialogs : public TDialogs {
 public:
  QStringList Messages;    // texts of the message boxes shown
  QStringList Questions;   // texts of the Yes/No warnings asked
  std::deque<bool> YesNoAnswers;
  QList<TFileDialogRequest> FileRequests;  // open, save and picture dialogs, in order
  std::deque<TFileDialogResult> FileAnswers;
  QList<TColor> ColorRequests;  // the colour each chooser opened on
  std::deque<std::optional<TColor>> ColorAnswers;
  int ModalRuns = 0;
  std::function<int(QDialog&)> OnModal;  // plays the user in the program's own modal windows

  void ShowMessage(QWidget*, const QString& Text) override { Messages << Text; }

  bool AskYesNo(QWidget*, const QString& Text) override {
    Questions << Text;
    if (YesNoAnswers.empty()) {
      ADD_FAILURE() << "unexpected question: " << Text.toStdString();
      return false;
    }
    const bool answer = YesNoAnswers.front();
    YesNoAnswers.pop_front();
    return answer;
  }

  TFileDialogResult OpenFile(QWidget*, const TFileDialogRequest& Request) override { return File(Request); }
  TFileDialogResult SaveFile(QWidget*, const TFileDialogRequest& Request) override { return File(Request); }
  TFileDialogResult OpenPicture(QWidget*, const TFileDialogRequest& Request) override { return File(Request); }

  std::optional<TColor> ChooseColor(QWidget*, TColor Current) override {
    ColorRequests << Current;
    if (ColorAnswers.empty()) {
      ADD_FAILURE() << "unexpected colour chooser";
      return std::nullopt;
    }
    const std::optional<TColor> answer = ColorAnswers.front();
    ColorAnswers.pop_front();
    return answer;
  }

  int ExecModal(QDialog& Dialog) override {
    ++ModalRuns;
    if (!OnModal) {
      ADD_FAILURE() << "unexpected modal window: " << Dialog.windowTitle().toStdString();
      return QDialog::Rejected;
    }
    return OnModal(Dialog);
  }

 private:
  TFileDialogResult File(const TFileDialogRequest& Request) {
    FileRequests << Request;
    if (FileAnswers.empty()) {
      ADD_FAILURE() << "unexpected file dialog";
      return {};
    }
    const TFileDialogResult answer = FileAnswers.front();
    FileAnswers.pop_front();
    return answer;
  }
};
