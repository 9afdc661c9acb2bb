// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Keeps a recovery copy of the work of one running program: the project
// with its working frame and frame under edit, and the builder's figure
// type. A copy is written once a change has been quiet for a moment, or at
// the latest a few seconds after it during continuous work, on the
// recovery writer's thread from a snapshot the window takes in well under
// a millisecond. A save or a clean end removes the copy; at start the copy
// a crashed program left behind is offered. When no copy can be written,
// the user is told, and told again when copies are written once more.

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <memory>
#include <optional>
#include <vector>

#include "files/FrameBytesMirror.h"
#include "files/RecoveryFile.h"
#include "files/RecoverySlot.h"
#include "files/RecoveryWriter.h"

class TDialogs;
class TDocument;
class TRecoveryHost;
class TTermSignals;

struct TRecoveryTimes {
  int QuietMs = 2000;  // a change quiet this long is written
  // A change is written at the latest after this long, less the time the
  // last copy took to write (a third of a second for 10,000 frames, more
  // over a large background), so that a crash loses under 10 s.
  // The first change to a head (background, types) no copy holds yet is
  // written after QuietMs at the latest instead.
  int LatestMs = 9000;
};

class TRecoveryKeeper : public QObject {
  Q_OBJECT
 public:
  // Keeps Doc's work, and the type Host builds when it keeps one, in a slot
  // of Folder, and offers what was left behind there when Host starts.
  // WriteFile writes each copy (tests make it fail).
  TRecoveryKeeper(TDocument& Doc, TRecoveryHost& Host, TDialogs& Dialogs, const QString& Folder,
                  TRecoveryTimes Times = {}, TRecoveryWriter::TWriteFile WriteFile = WriteWholeFile);
  ~TRecoveryKeeper() override;

  // The recovery folder in the user's application data.
  static QString DefaultFolder();

  // Offers the files a program that is gone left behind: Recover installs
  // them, Discard deletes them, Later keeps them for the next start.
  void OfferLeftBehind();
  // What was left behind, read and checked: a file that cannot be read is
  // refused in a message and set aside; NoMemory when one needs more memory
  // than there is now (it stays for a later start).
  struct TLeftBehind {
    std::optional<TRecoveredProject> Project;
    std::optional<TFigureType> Type;
    QString TypePath;
    QDateTime Time;  // of the newer copy
    bool NoMemory = false;
  };
  TLeftBehind ReadLeftBehind();
  // What a recovery save of the project writes now.
  TProjectSnapshot Snapshot();
  // Queues the recovery copies of what changed since the last, now.
  void SaveNow();
  // Waits until the queued copies are written.
  void Flush() { Writer.Flush(); }

  // Ends the program when the system asks it to (SIGTERM, SIGHUP, SIGINT)
  // as EndBySignal says.
  void EndOnTermSignals();
  // Unsaved work is written at once and its copy stays for the next start
  // to offer; with nothing unsaved the slot's files go. Then the event loop
  // ends without closing the windows, so no question holds the end.
  void EndBySignal();

  // The slot written in; null when no slot could be taken.
  const TRecoverySlot* Slot() const { return Used.get(); }
  int Written() const { return Writer.Written(); }
  // False while frames of a project just opened wait to be encoded.
  bool FramesEncoded() const { return Frames.Encoded(); }

 signals:
  // A project snapshot was queued for writing.
  void SnapshotQueued();

 private:
  void Follow();
  void Changed();
  void ProjectTimeout();
  void SaveProject();
  void DropProjectCopy();
  bool TakeSlot();
  void WriteDone(const QString& Path, const QString& Error);
  void SetProtected(const QString& Failure);
  void CheckType();
  void SaveType();
  void ResetFrames();
  void EncodeSlice();
  void Clean();
  QByteArray TypeState() const;
  // Recover installs what was left behind; a copy that cannot be installed
  // is kept for the next start.
  void Install(TLeftBehind&& Left);
  void Discard();
  // This program writes in a slot of its own; what was left behind stays.
  void Keep();

  TDocument& Doc;
  TRecoveryHost& Host;
  TDialogs& Dialogs;
  QString Folder;
  TRecoveryTimes Times;
  std::unique_ptr<TRecoverySlot> Used;
  bool Offering = false;                              // the slot holds files not yet offered: nothing is written
  bool Ended = false;                                 // the program ended cleanly
  QString SlotFailure;                                // why no slot could be taken at start
  bool Unprotected = false;                           // the last attempt to write a copy failed
  bool FailureNoticed = false, AgainNoticed = false;  // each notice comes once a run
  std::unique_ptr<TTermSignals> Signals;

  // The project: every stored frame's bytes, kept as the document changes.
  TFrameBytesMirror Frames;
  QTimer Encoding;
  std::optional<TAnimation> Head;  // none: to be taken again
  uint64_t HeadSerial = 0;         // counts the heads taken
  uint64_t QueuedHeadSerial = 0;   // the head of the last copy queued
  // What the writer deflated for the last copy; only its thread uses it.
  std::shared_ptr<TRecoveryPieces> Pieces = std::make_shared<TRecoveryPieces>();
  bool ProjectChanged = false;
  QElapsedTimer Unwritten;  // since the first change not written
  QElapsedTimer Writing;    // since the project copy being written was queued
  qint64 LastWriteMs = 0;   // how long the last project copy took, queue to disk
  QTimer Quiet;
  QTimer Latest;

  // The builder's type, as its file would hold it, and its file name.
  QByteArray TypeSeen;
  QByteArray TypeWritten;
  QByteArray TypeAtStart;
  QTimer TypeQuiet;   // runs from the type's last change
  QTimer TypeLatest;  // runs from its first change not written

  TRecoveryWriter Writer;  // last: it finishes its work before the rest goes
};
