// SPDX-License-Identifier: GPL-3.0-or-later
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
  enum class TKind {
    Message,
    Notice,
    YesNo,
    YesNoCancel,
    Recover,
    OpenFile,
    SaveFile,
    OpenPicture,
    Color,
    Modal,
    Number,
    Tween
  };

  // An answer to either kind of question: true and false stand for Yes and
  // No, so scripts read the same for both; Cancel only suits a question that
  // offers it.
  struct TReply {
    TAnswer Answer;
    TReply(bool Yes) : Answer(Yes ? TAnswer::Yes : TAnswer::No) {}
    TReply(TAnswer A) : Answer(A) {}
  };

  struct TCall {
    TKind Kind;
    QString Text;                // message or question
    TFileDialogRequest Request;  // file dialogs
    TColor Color = 0;            // colour chooser: the colour it opened on
  };

  // Answers, taken front first.
  std::deque<TReply> YesNoAnswers;
  std::deque<TFileDialogResult> OpenAnswers;
  std::deque<TFileDialogResult> SaveAnswers;
  std::deque<TFileDialogResult> PictureAnswers;
  std::deque<std::optional<TColor>> ColorAnswers;
  std::deque<std::optional<int>> NumberAnswers;
  std::deque<std::optional<TTweenChoice>> TweenAnswers;
  // What the Tween dialog offered, each time it was asked.
  std::vector<TTweenChoice> TweenOffers;
  std::deque<TRecoveryAnswer> RecoverAnswers;
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
  void ShowNotice(QWidget*, const QString& Text) override { Calls.push_back({TKind::Notice, Text, {}, 0}); }

  bool AskYesNo(QWidget*, const QString& Text) override {
    Calls.push_back({TKind::YesNo, Text, {}, 0});
    const TAnswer answer = Take(YesNoAnswers, TReply(false), "AskYesNo", Text).Answer;
    if (answer == TAnswer::Cancel) ADD_FAILURE() << "Cancel given to a Yes/No question: " << Text.toStdString();
    return answer == TAnswer::Yes;
  }

  TAnswer AskYesNoCancel(QWidget*, const QString& Text) override {
    Calls.push_back({TKind::YesNoCancel, Text, {}, 0});
    return Take(YesNoAnswers, TReply(TAnswer::Cancel), "AskYesNoCancel", Text).Answer;
  }

  TRecoveryAnswer AskRecover(QWidget*, const QString& Text) override {
    Calls.push_back({TKind::Recover, Text, {}, 0});
    return Take(RecoverAnswers, TRecoveryAnswer::Later, "AskRecover", Text);
  }

  // The questions asked so far, of either kind, in order.
  QStringList Questions() const {
    QStringList texts;
    for (const TCall& c : Calls)
      if (c.Kind == TKind::YesNo || c.Kind == TKind::YesNoCancel) texts << c.Text;
    return texts;
  }

  TFileDialogResult OpenFile(QWidget*, const TFileDialogRequest& Request) override {
    Calls.push_back({TKind::OpenFile, {}, Request, 0});
    return Take(OpenAnswers, TFileDialogResult{}, "OpenFile", {});
  }

  // Answers the dialog itself: the seam then lets a typed ending choose the type.
  TFileDialogResult AskSaveFile(QWidget*, const TFileDialogRequest& Request) override {
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

  std::optional<int> AskNumber(QWidget*, const QString& Title, const QString&, int, int, int) override {
    Calls.push_back({TKind::Number, Title, {}, 0});
    return Take(NumberAnswers, std::optional<int>{}, "AskNumber", Title);
  }

  std::optional<TTweenChoice> AskTween(QWidget*, const TTweenChoice& Offer) override {
    Calls.push_back({TKind::Tween, QStringLiteral("Tween"), {}, 0});
    TweenOffers.push_back(Offer);
    return Take(TweenAnswers, std::optional<TTweenChoice>{}, "AskTween", {});
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
