// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/RecoveryKeeper.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QStatusBar>
#include <algorithm>

#include "editor/RecoveryHost.h"
#include "files/ProjectExtension.h"
#include "files/ProjectFile.h"
#include "files/StkFile.h"
#include "files/WholeFile.h"
#include "model/Pictures.h"
#include "platform/Dialogs.h"
#include "platform/ErrorReport.h"
#include "platform/TermSignals.h"

TRecoveryKeeper::TRecoveryKeeper(TDocument& Doc, TRecoveryHost& Host, TDialogs& Dialogs, const QString& Folder,
                                 TRecoveryTimes Times, TRecoveryWriter::TWriteFile WriteFile)
    : Doc(Doc),
      Host(Host),
      Dialogs(Dialogs),
      Folder(Folder),
      Times(Times),
      Writer(std::move(WriteFile), [this](const QString& Path, const QString& Error) {
        QMetaObject::invokeMethod(
            this, [this, Path, Error] { WriteDone(Path, Error); }, Qt::QueuedConnection);
      }) {
  Used = TRecoverySlot::Take(Folder, true);
  Offering = Used != nullptr;
  if (!Used) Used = TRecoverySlot::Take(Folder, false, &SlotFailure);
  Quiet.setSingleShot(true);
  Latest.setSingleShot(true);
  Encoding.setSingleShot(true);
  connect(&Encoding, &QTimer::timeout, this, &TRecoveryKeeper::EncodeSlice);
  connect(&Quiet, &QTimer::timeout, this, &TRecoveryKeeper::ProjectTimeout);
  connect(&Latest, &QTimer::timeout, this, &TRecoveryKeeper::ProjectTimeout);
  ResetFrames();
  Follow();
  if (Host.KeepsType()) {
    TypeSeen = TypeWritten = TypeAtStart = TypeState();
    TypeQuiet.setSingleShot(true);
    TypeLatest.setSingleShot(true);
    connect(&Host, &TRecoveryHost::TypeChanged, this, &TRecoveryKeeper::CheckType);
    const auto due = [this] {
      if (TypeSeen != TypeWritten) SaveType();
    };
    connect(&TypeQuiet, &QTimer::timeout, this, due);
    connect(&TypeLatest, &QTimer::timeout, this, due);
  }
  connect(&Host, &TRecoveryHost::Starting, this,
          [this] { RunGuarded(this->Dialogs, this->Host.DialogParent(), [this] { OfferLeftBehind(); }); });
  connect(&Host, &TRecoveryHost::Closing, this, &TRecoveryKeeper::Clean);
}

TRecoveryKeeper::~TRecoveryKeeper() = default;

QString TRecoveryKeeper::DefaultFolder() {
  return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + QStringLiteral("/recovery");
}

void TRecoveryKeeper::Follow() {
  TDocument& doc = Doc;
  const TAnimation& anim = doc.Animation();
  connect(&doc, &TDocument::FramesInserted, this, [this, &anim](int At, int Count, int) {
    Frames.Insert(anim.Frames, At, Count);
    Changed();
  });
  connect(&doc, &TDocument::FramesRemoved, this, [this](int At, int Count) {
    Frames.Remove(At, Count);
    Changed();
  });
  connect(&doc, &TDocument::FrameChanged, this, [this, &anim](int At) {
    Frames.Change(anim.Frames, At);
    Changed();
  });
  const auto headChanged = [this] {
    Head.reset();
    Changed();
  };
  connect(&doc, &TDocument::PictureChanged, this, headChanged);
  connect(&doc, &TDocument::TypesChanged, this, headChanged);
  // The rate is written after the frames, not in the head's piece.
  connect(&doc, &TDocument::RateChanged, this, &TRecoveryKeeper::Changed);
  connect(&doc, &TDocument::EditChanged, this, &TRecoveryKeeper::Changed);
  connect(&doc, &TDocument::FigureChanged, this, &TRecoveryKeeper::Changed);
  connect(&doc, &TDocument::DocumentReset, this, [this, &doc] {
    ResetFrames();
    // New or Open discarded the work; recovered work is unsaved and kept.
    if (doc.IsSaved())
      DropProjectCopy();
    else
      Changed();
  });
  // Work that its file holds is not offered after a crash: the copy goes
  // when the work is saved (or an undo brings it back to what was saved)
  // and comes back with the next change the file does not hold.
  connect(&doc, &TDocument::SavedChanged, this, [this](bool Saved) {
    if (Saved) DropProjectCopy();
  });
}

void TRecoveryKeeper::ResetFrames() {
  // A long project's frames are encoded a slice at a time between events,
  // so that opening it does not hold the window; a frame not yet encoded
  // is a null array.
  Frames.Reset(Doc.Animation().Frames.size());
  Head.reset();
  if (Frames.Count() > 0) Encoding.start(0);
}

void TRecoveryKeeper::EncodeSlice() {
  if (!Frames.EncodeSome(Doc.Animation().Frames, 2)) Encoding.start(0);
}

void TRecoveryKeeper::Changed() {
  if (Ended) return;
  if (!ProjectChanged) Unwritten.start();
  ProjectChanged = true;
  Quiet.start(Times.QuietMs);
  // A head no copy holds yet (after New, Open or a picture or type change)
  // makes the next copy a long one, as its background is deflated again:
  // it is taken soon rather than at the latest, so that the copies after
  // it, which reuse the head, keep within the promise.
  const bool headNew = !Head || HeadSerial != QueuedHeadSerial;
  const int latest =
      headNew
          ? Times.QuietMs
          : std::max(Times.QuietMs, Times.LatestMs - static_cast<int>(std::min<qint64>(LastWriteMs, Times.LatestMs)));
  if (!Latest.isActive() || Latest.remainingTime() > latest) Latest.start(latest);
}

TProjectSnapshot TRecoveryKeeper::Snapshot() {
  const TDocument& doc = Doc;
  // The frames are kept as the document's signals tell; should they ever
  // disagree in number, they are taken again rather than written wrong.
  if (Frames.Count() != doc.Animation().Frames.size()) ResetFrames();
  Frames.EncodeAll(doc.Animation().Frames);
  Encoding.stop();
  if (!Head) {
    Head = AnimationHead(doc.Animation());
    ++HeadSerial;
  }
  const TEditState& edit = doc.Edit();
  QByteArray extension;
  AppendExtensionBlock(extension, doc.Animation());
  return {QDateTime::currentDateTimeUtc(),
          doc.FilePath(),
          *Head,
          HeadSerial,
          Frames.Bytes(),
          extension,
          {edit.WorkingFrame, edit.EditedFrameIndex, edit.SelectedFigure, edit.Ghost}};
}

void TRecoveryKeeper::DropProjectCopy() {
  Quiet.stop();
  Latest.stop();
  ProjectChanged = false;
  if (Used && !Offering) Writer.Remove(Used->ProjectFile());
}

bool TRecoveryKeeper::TakeSlot() {
  if (Used) return true;
  QString failure;
  Used = TRecoverySlot::Take(Folder, false, &failure);
  if (!Used) SetProtected(failure);
  return Used != nullptr;
}

void TRecoveryKeeper::ProjectTimeout() {
  // The frames of a project just opened are encoded between events: a copy
  // due before the latest time waits for them rather than encode the rest
  // on the window's thread.
  if (ProjectChanged && Encoding.isActive() && Unwritten.isValid() && Unwritten.elapsed() < Times.LatestMs) {
    Quiet.stop();
    Latest.start(20);
    return;
  }
  SaveProject();
}

void TRecoveryKeeper::SaveProject() {
  Quiet.stop();
  Latest.stop();
  if (!ProjectChanged || Offering || Ended) return;
  ProjectChanged = false;
  // Changes of the working frame alone leave the work saved: its file
  // holds all that a save would write, and the save question is not asked.
  // A slot not taken before is tried again with each change to write.
  if (Doc.IsSaved() || !TakeSlot()) return;
  TProjectSnapshot snapshot = Snapshot();
  QueuedHeadSerial = snapshot.HeadSerial;
  Writing.start();
  Writer.Write(Used->ProjectFile(), [snapshot = std::move(snapshot), pieces = Pieces] {
    return ProjectRecoveryBytes(snapshot, pieces.get());
  });
  emit SnapshotQueued();
}

QByteArray TRecoveryKeeper::TypeState() const { return Host.TypeFile() + '\0' + Host.TypePath().toUtf8(); }

void TRecoveryKeeper::CheckType() {
  if (Ended) return;
  const QByteArray state = TypeState();
  if (state == TypeSeen) return;
  if (TypeSeen == TypeWritten) TypeLatest.start(Times.LatestMs);
  TypeSeen = state;
  TypeQuiet.start(Times.QuietMs);
}

void TRecoveryKeeper::SaveType() {
  TypeQuiet.stop();
  TypeLatest.stop();
  if (Offering || Ended || !Host.KeepsType() || !TakeSlot()) return;
  TypeSeen = TypeWritten = TypeState();
  Writer.Write(Used->TypeFile(), [time = QDateTime::currentDateTimeUtc(), path = Host.TypePath(),
                                  file = Host.TypeFile()] { return TypeRecoveryBytes(time, path, file); });
}

void TRecoveryKeeper::SaveNow() {
  SaveProject();
  if (Host.KeepsType() && TypeState() != TypeWritten) SaveType();
}

void TRecoveryKeeper::Clean() {
  Ended = true;
  Quiet.stop();
  Latest.stop();
  TypeQuiet.stop();
  TypeLatest.stop();
  if (!Used || Offering) return;
  Writer.Remove(Used->ProjectFile());
  Writer.Remove(Used->TypeFile());
}

void TRecoveryKeeper::WriteDone(const QString& Path, const QString& Error) {
  if (Writing.isValid() && Used && Path == Used->ProjectFile()) {
    LastWriteMs = Writing.elapsed();
    Writing.invalidate();
  }
  // The reason comes without the file's name; the folder given says where.
  SetProtected(Error);
}

void TRecoveryKeeper::SetProtected(const QString& Failure) {
  const QString folder = QDir::toNativeSeparators(Folder);
  const bool failed = !Failure.isEmpty();
  if (failed == Unprotected) return;  // nothing new to say
  Unprotected = failed;
  const QString text =
      failed ? QStringLiteral(
                   "Unsaved work is not protected: no recovery copy can be written in %1 (%2). "
                   "Tavel tries again with the next change.")
                   .arg(folder, Failure)
             : QStringLiteral("Unsaved work is protected again: its recovery copy is written in %1.").arg(folder);
  // The failure stays in the status bar until it mends; its mending goes after a while.
  Host.ShowStatus(text, failed ? 0 : 10000);
  bool& noticed = failed ? FailureNoticed : AgainNoticed;
  if (!noticed) Dialogs.ShowNotice(Host.DialogParent(), text);
  noticed = true;
}

void TRecoveryKeeper::EndOnTermSignals() {
  Signals = std::make_unique<TTermSignals>();
  connect(Signals.get(), &TTermSignals::Received, this, &TRecoveryKeeper::EndBySignal);
}

void TRecoveryKeeper::EndBySignal() {
  const bool projectUnsaved = !Doc.IsSaved();
  if (projectUnsaved || (Host.KeepsType() && TypeState() != TypeAtStart)) {
    // The copy on disk may be older than the work or have failed: write anew.
    ProjectChanged = projectUnsaved;
    SaveNow();
    Ended = true;
    Quiet.stop();
    Latest.stop();
    TypeQuiet.stop();
    TypeLatest.stop();
  } else {
    Clean();
  }
  Writer.Flush();
  // exit(), not quit(): quit() would close the windows, asking the save question.
  QCoreApplication::exit(0);
}

namespace {

// Reads File with Read when it is there. A file that cannot be read is
// refused in a message as Open refuses a project, and kept aside; one that
// needs more memory than there is now sets NoMemory and stays for later.
template <class Reading>
void ReadOrSetAside(TDialogs& Dialogs, QWidget* Parent, const QString& File, Reading&& Read, bool& NoMemory) {
  if (!QFileInfo::exists(File)) return;
  bool lacksMemory = false;
  try {
    try {
      Read();
    } catch (const EPictureMemory&) {
      lacksMemory = true;
      throw;
    } catch (const std::bad_alloc&) {
      lacksMemory = true;
      RethrowNamingFile(QFileInfo(File).fileName());
    } catch (...) {
      RethrowNamingFile(QFileInfo(File).fileName());
    }
  } catch (const std::exception& e) {
    Dialogs.ShowMessage(Parent, QString::fromUtf8(e.what()));
    if (lacksMemory)
      NoMemory = true;
    else
      TRecoverySlot::KeepAside(File);
  }
}

}  // namespace

TRecoveryKeeper::TLeftBehind TRecoveryKeeper::ReadLeftBehind() {
  TLeftBehind left;
  const QString projectFile = Used->ProjectFile(), typeFile = Used->TypeFile();
  ReadOrSetAside(
      Dialogs, Host.DialogParent(), projectFile,
      [&] {
        left.Project = ParseProjectRecovery(ReadWholeFile(projectFile, MaxRecoveryFileBytes));
        left.Time = left.Project->Time;
      },
      left.NoMemory);
  ReadOrSetAside(
      Dialogs, Host.DialogParent(), typeFile,
      [&] {
        TRecoveredType read = ParseTypeRecovery(ReadWholeFile(typeFile, MaxRecoveryFileBytes));
        left.Type = ReadStkFile(read.StkFile);
        left.TypePath = read.TypePath;
        if (!left.Time.isValid() || read.Time > left.Time) left.Time = read.Time;
      },
      left.NoMemory);
  return left;
}

void TRecoveryKeeper::OfferLeftBehind() {
  if (!SlotFailure.isEmpty()) SetProtected(SlotFailure);
  SlotFailure.clear();
  if (!Offering) return;
  TLeftBehind left = ReadLeftBehind();
  Offering = false;
  if (left.NoMemory) return Keep();
  if (!left.Project && !left.Type) return;
  const QString question = QStringLiteral("Tavel did not close properly. Recover the animation from %1?")
                               .arg(left.Time.toLocalTime().toString(QStringLiteral("HH:mm")));
  switch (Dialogs.AskRecover(Host.DialogParent(), question)) {
    case TRecoveryAnswer::Recover:
      return Install(std::move(left));
    case TRecoveryAnswer::Discard:
      return Discard();
    case TRecoveryAnswer::Later:
      return Keep();
  }
}

void TRecoveryKeeper::Install(TLeftBehind&& Left) {
  bool recovered = false;
  RunGuarded(Dialogs, Host.DialogParent(), [&] {
    if (Left.Project) {
      TRecoveredEdit& e = Left.Project->Edit;
      TEditState edit{std::move(e.WorkingFrame), e.EditedFrameIndex, e.SelectedFigure, {}, std::move(e.Ghost)};
      Host.InstallProject(std::move(Left.Project->Animation), std::move(edit), Left.Project->ProjectPath);
    }
    if (Left.Type && Host.KeepsType()) Host.InstallType(*Left.Type, Left.TypePath);
    recovered = true;
  });
  // A copy that could not be installed (no memory for its pictures) is
  // kept for the next start rather than overwritten by new work.
  if (!recovered) Keep();
}

void TRecoveryKeeper::Discard() {
  QFile::remove(Used->ProjectFile());
  QFile::remove(Used->TypeFile());
}

void TRecoveryKeeper::Keep() { Used = TRecoverySlot::Take(Folder, false); }
