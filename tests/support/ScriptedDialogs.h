#pragma once
// A dialog seam for tests: records every call and answers from queues set up
// beforehand. A call with no answer queued fails the test and answers as a
// user who cancels would (No, nothing chosen, dialog rejected), so a
// forgotten answer never hangs a test.

#include <gtest/gtest.h>

#include <QDialog>
#include <deque>
#include <functional>
#include <optional>
#include <vector>

#include "platform/Dialogs.h"

class TScriptedDialogs : public TDialogs {
 public:
  enum class TKind { Message, YesNo, OpenFile, SaveFile, OpenPicture, Color, Modal };

  struct TCall {
    TKind Kind;
    QString Text;                 // message or question
    TFileDialogRequest Request;   // file dialogs
    TColor Color = 0;             // colour chooser: the colour it opened on
  };

  // Answers, taken front first.
  std::deque<bool> YesNoAnswers;
  std::deque<TFileDialogResult> OpenAnswers;
  std::deque<TFileDialogResult> SaveAnswers;
  std::deque<TFileDialogResult> PictureAnswers;
  std::deque<std::optional<TColor>> ColorAnswers;
  // Runs a modal window instead of exec(): it may fill the window's fields
  // and returns the result code. Unset: the window is rejected.
  std::function<int(QDialog&)> OnExecModal;

  std::vector<TCall> Calls;

  // The texts of the message boxes shown so far, in order.
  QStringList Messages() const {
    QStringList texts;
    for (const TCall& c : Calls)
      if (c.Kind == TKind::Message) texts << c.Text;
    return texts;
  }
  int CountOf(TKind Kind) const {
    int n = 0;
    for (const TCall& c : Calls) n += c.Kind == Kind;
    return n;
  }

  void ShowMessage(QWidget*, const QString& Text) override { Calls.push_back({TKind::Message, Text, {}, 0}); }

  bool AskYesNo(QWidget*, const QString& Text) override {
    Calls.push_back({TKind::YesNo, Text, {}, 0});
    return Take(YesNoAnswers, false, "AskYesNo", Text);
  }

  TFileDialogResult OpenFile(QWidget*, const TFileDialogRequest& Request) override {
    Calls.push_back({TKind::OpenFile, {}, Request, 0});
    return Take(OpenAnswers, TFileDialogResult{}, "OpenFile", {});
  }

  TFileDialogResult SaveFile(QWidget*, const TFileDialogRequest& Request) override {
    Calls.push_back({TKind::SaveFile, {}, Request, 0});
    return Take(SaveAnswers, TFileDialogResult{}, "SaveFile", {});
  }

  TFileDialogResult OpenPicture(QWidget*, const TFileDialogRequest& Request) override {
    Calls.push_back({TKind::OpenPicture, {}, Request, 0});
    return Take(PictureAnswers, TFileDialogResult{}, "OpenPicture", {});
  }

  std::optional<TColor> ChooseColor(QWidget*, TColor Current) override {
    Calls.push_back({TKind::Color, {}, {}, Current});
    return Take(ColorAnswers, std::optional<TColor>{}, "ChooseColor", {});
  }

  int ExecModal(QDialog& Dialog) override {
    Calls.push_back({TKind::Modal, Dialog.windowTitle(), {}, 0});
    if (!OnExecModal) {
      ADD_FAILURE() << "ExecModal called with no handler set: " << Dialog.windowTitle().toStdString();
      return QDialog::Rejected;
    }
    return OnExecModal(Dialog);
  }

 private:
  template <class T>
  static T Take(std::deque<T>& Queue, T Fallback, const char* What, const QString& Text) {
    if (Queue.empty()) {
      ADD_FAILURE() << What << " called with no answer queued " << Text.toStdString();
      return Fallback;
    }
    T answer = std::move(Queue.front());
    Queue.pop_front();
    return answer;
  }
};
