// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The dialog seam: every modal interaction of the windows goes through one
// TDialogs object, so tests can install a scripted one that answers and
// records each call. No window calls QMessageBox or QFileDialog directly.

#include <QImage>
#include <QMessageBox>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

#include "model/Colors.h"
#include "model/Easing.h"

class QDialog;
class QWidget;

struct TFileDialogRequest {
  QStringList Filters;  // file-type list, entries like "Tavel File (*.tvl)"
  int FilterIndex = 0;  // entry selected when the dialog opens, from 0
  QString DefaultExt;   // added when the user types a name without one ("tvl")
  QString InitialDir;   // folder shown first; empty for the platform's choice
  QString FileName;     // name proposed in the name field
  // Picture dialogs: the picture of the file under the cursor, read as the
  // file-type entry (from 0) says; a null picture when it cannot be read.
  std::function<QImage(const QString& Path, int FilterIndex)> Preview;
};

struct TFileDialogResult {
  bool Accepted = false;
  QString Path;
  int FilterIndex = 0;  // the file-type entry chosen: it decides the format
};

// The Tween dialog's fields: how many in-between frames, and how they are
// spread along the way.
struct TTweenChoice {
  int Count = 3;  // 1 to 100
  TEasing Easing = TEasing::Linear;
  friend bool operator==(const TTweenChoice&, const TTweenChoice&) = default;
};

// The answer to a question that may also be called off.
enum class TAnswer { Yes, No, Cancel };
// The answer to the offer of work a crash left behind; Later keeps it.
enum class TRecoveryAnswer { Recover, Discard, Later };

class TDialogs {
 public:
  virtual ~TDialogs() = default;

  // A message box with OK.
  virtual void ShowMessage(QWidget* Parent, const QString& Text) = 0;
  // A message that does not wait for an answer: work goes on while it
  // shows. A notice still shown takes the new text instead of a second one.
  virtual void ShowNotice(QWidget* Parent, const QString& Text) = 0;
  // A warning box with Yes and No; true for Yes.
  virtual bool AskYesNo(QWidget* Parent, const QString& Text) = 0;
  // A warning box with Yes, No and Cancel; Escape and the close box answer Cancel.
  virtual TAnswer AskYesNoCancel(QWidget* Parent, const QString& Text) = 0;
  // A question with Recover (the default) and Discard; Escape and the close
  // box answer Later.
  virtual TRecoveryAnswer AskRecover(QWidget* Parent, const QString& Text) = 0;
  virtual TFileDialogResult OpenFile(QWidget* Parent, const TFileDialogRequest& Request) = 0;
  // The file save dialog. A typed name whose ending one of the file types
  // names chooses that type, whichever entry was selected: walk.gif typed
  // with the project type selected is a GIF.
  TFileDialogResult SaveFile(QWidget* Parent, const TFileDialogRequest& Request);
  virtual TFileDialogResult OpenPicture(QWidget* Parent, const TFileDialogRequest& Request) = 0;
  // The colour chooser, opened on Current; nothing when cancelled.
  virtual std::optional<TColor> ChooseColor(QWidget* Parent, TColor Current) = 0;
  // Runs one of the program's own modal windows and returns its result code.
  virtual int ExecModal(QDialog& Dialog) = 0;
  // Asks for a whole number from Min to Max, offering Value, with OK and
  // Cancel; nothing when cancelled.
  virtual std::optional<int> AskNumber(QWidget* Parent, const QString& Title, const QString& Label, int Value, int Min,
                                       int Max) = 0;
  // The Tween dialog, showing Offer, with OK and Cancel; nothing when cancelled.
  virtual std::optional<TTweenChoice> AskTween(QWidget* Parent, const TTweenChoice& Offer) = 0;

 protected:
  // The save dialog itself, as the user answered it.
  virtual TFileDialogResult AskSaveFile(QWidget* Parent, const TFileDialogRequest& Request) = 0;
};

// The file-type entry of Filters (entries like "Gif (*.gif)") that Path's
// ending names: Chosen when its own patterns match, else the first entry
// whose patterns do, else Chosen. Endings match in any letter case.
int FileTypeOfName(const QStringList& Filters, int Chosen, const QString& Path);

// The endings an entry like "Video (*.mp4 *.webm)" names: ".mp4", ".webm".
QStringList FilterEndings(const QString& Filter);

// The question before files are replaced: the sentence, and below it the
// name of the file, or for a numbered series the first and last names and
// how many there are.
QString ReplaceQuestion(const QStringList& Paths);

// The implementation that shows the toolkit's real dialogs.
class TQtDialogs : public TDialogs {
 public:
  void ShowMessage(QWidget* Parent, const QString& Text) override;
  void ShowNotice(QWidget* Parent, const QString& Text) override;
  bool AskYesNo(QWidget* Parent, const QString& Text) override;
  TAnswer AskYesNoCancel(QWidget* Parent, const QString& Text) override;
  TRecoveryAnswer AskRecover(QWidget* Parent, const QString& Text) override;
  TFileDialogResult OpenFile(QWidget* Parent, const TFileDialogRequest& Request) override;
  TFileDialogResult OpenPicture(QWidget* Parent, const TFileDialogRequest& Request) override;
  std::optional<TColor> ChooseColor(QWidget* Parent, TColor Current) override;
  int ExecModal(QDialog& Dialog) override;
  std::optional<int> AskNumber(QWidget* Parent, const QString& Title, const QString& Label, int Value, int Min,
                               int Max) override;
  std::optional<TTweenChoice> AskTween(QWidget* Parent, const TTweenChoice& Offer) override;

 protected:
  TFileDialogResult AskSaveFile(QWidget* Parent, const TFileDialogRequest& Request) override;

 private:
  QPointer<QMessageBox> Notice;  // the notice shown, until it is closed
};
