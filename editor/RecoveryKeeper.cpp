// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/RecoveryKeeper.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QStatusBar>
#include <algorithm>

#include "builder/FigureBuilderUnit.h"
#include "editor/MainUnit.h"
#include "files/ProjectFile.h"
#include "files/StkFile.h"
#include "files/WholeFile.h"
#include "model/Pictures.h"
#include "platform/Dialogs.h"
#include "platform/ErrorReport.h"
#include "platform/TermSignals.h"

namespace {

QByteArray FrameBytes(const TFigures& Frame) {
  QByteArray bytes;
  AppendFrameBytes(bytes, Frame);
  return bytes;
}

}  // namespace

TRecoveryKeeper::TRecoveryKeeper(TMainForm& Main, TFigureBuilderForm* Builder, TDialogs& Dialogs, const QString& Folder,
                                 TRecoveryTimes Times, TRecoveryWriter::TWriteFile WriteFile)
    : Main(Main),
      Builder(Builder),
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
  if (Builder != nullptr) {
    TypeSeen = TypeWritten = TypeAtStart = TypeState();
    TypeQuiet.setSingleShot(true);
    TypeLatest.setSingleShot(true);
    connect(Builder, &TFigureBuilderForm::TypeChanged, this, &TRecoveryKeeper::CheckType);
    const auto due = [this] {
      if (TypeSeen != TypeWritten) SaveType();
    };
    connect(&TypeQuiet, &QTimer::timeout, this, due);
    connect(&TypeLatest, &QTimer::timeout, this, due);
  }
  Main.BeforeCommandLine = [this] { OfferLeftBehind(); };
}

TRecoveryKeeper::~TRecoveryKeeper() { Main.BeforeCommandLine = nullptr; }

QString TRecoveryKeeper::DefaultFolder() {
  return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + QStringLiteral("/recovery");
}

void TRecoveryKeeper::Follow() {
  TDocument& doc = Main.Document();
  const TAnimation& anim = doc.Animation();
  connect(&doc, &TDocument::FramesInserted, this, [this, &anim](int At, int Count, int) {
    std::vector<QByteArray> made;
    made.reserve(static_cast<std::size_t>(Count));
    for (int f = At; f < At + Count; ++f) made.push_back(FrameBytes(anim.Frames[static_cast<std::size_t>(f)]));
    Frames.insert(Frames.begin() + At, std::make_move_iterator(made.begin()), std::make_move_iterator(made.end()));
    Changed();
  });
  connect(&doc, &TDocument::FramesRemoved, this, [this](int At, int Count) {
    Frames.erase(Frames.begin() + At, Frames.begin() + At + Count);
    // Frames after those removed that were not encoded yet move down.
    if (static_cast<std::size_t>(At) < EncodedUpTo) EncodedUpTo = std::max<std::size_t>(At, EncodedUpTo - Count);
    Changed();
  });
  connect(&doc, &TDocument::FrameChanged, this, [this, &anim](int At) {
    Frames[static_cast<std::size_t>(At)] = FrameBytes(anim.Frames[static_cast<std::size_t>(At)]);
    Changed();
  });
  const auto headChanged = [this] {
    Head.reset();
    Changed();
  };
  connect(&doc, &TDocument::PictureChanged, this, headChanged);
  connect(&doc, &TDocument::TypesChanged, this, headChanged);
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
  connect(&Main, &TMainForm::Closed, this, &TRecoveryKeeper::Clean);
}

void TRecoveryKeeper::ResetFrames() {
  // A long project's frames are encoded a slice at a time between events,
  // so that opening it does not hold the window; a frame not yet encoded
  // is a null array.
  Frames.assign(Main.Animation().Frames.size(), QByteArray());
  EncodedUpTo = 0;
  Head.reset();
  if (!Frames.empty()) Encoding.start(0);
}

void TRecoveryKeeper::EncodeSlice() {
  const std::vector<TFigures>& frames = Main.Animation().Frames;
  QElapsedTimer slice;
  slice.start();
  while (EncodedUpTo < Frames.size() && slice.elapsed() < 2) {
    for (int n = 0; n < 64 && EncodedUpTo < Frames.size(); ++n, ++EncodedUpTo)
      if (Frames[EncodedUpTo].isNull()) Frames[EncodedUpTo] = FrameBytes(frames[EncodedUpTo]);
  }
  if (EncodedUpTo < Frames.size()) Encoding.start(0);
}

void TRecoveryKeeper::EncodeAll() {
  const std::vector<TFigures>& frames = Main.Animation().Frames;
  for (std::size_t f = 0; f < Frames.size(); ++f)
    if (Frames[f].isNull()) Frames[f] = FrameBytes(frames[f]);
  EncodedUpTo = Frames.size();
  Encoding.stop();
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
  const TDocument& doc = Main.Document();
  // The frames are kept as the document's signals tell; should they ever
  // disagree in number, they are taken again rather than written wrong.
  if (Frames.size() != doc.Animation().Frames.size()) ResetFrames();
  EncodeAll();
  if (!Head) {
    Head = AnimationHead(doc.Animation());
    ++HeadSerial;
  }
  const TEditState& edit = doc.Edit();
  return {QDateTime::currentDateTimeUtc(),
          Main.Document().FilePath(),
          *Head,
          HeadSerial,
          Frames,
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
  if (Main.Document().IsSaved() || !TakeSlot()) return;
  TProjectSnapshot snapshot = Snapshot();
  QueuedHeadSerial = snapshot.HeadSerial;
  Writing.start();
  Writer.Write(Used->ProjectFile(), [snapshot = std::move(snapshot), pieces = Pieces] {
    return ProjectRecoveryBytes(snapshot, pieces.get());
  });
  emit SnapshotQueued();
}

QByteArray TRecoveryKeeper::TypeState() const {
  return Builder->WorkingTypeFile() + '\0' + Builder->GetFigureFileName().toUtf8();
}

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
  if (Offering || Ended || Builder == nullptr || !TakeSlot()) return;
  TypeSeen = TypeWritten = TypeState();
  Writer.Write(Used->TypeFile(), [time = QDateTime::currentDateTimeUtc(), path = Builder->GetFigureFileName(),
                                  file = Builder->WorkingTypeFile()] { return TypeRecoveryBytes(time, path, file); });
}

void TRecoveryKeeper::SaveNow() {
  SaveProject();
  if (Builder != nullptr && TypeState() != TypeWritten) SaveType();
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
  // The reason without the file's name, which the folder given says.
  SetProtected(QString(Error).remove(Path + QStringLiteral(": ")));
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
  Main.statusBar()->showMessage(text, failed ? 0 : 10000);
  bool& noticed = failed ? FailureNoticed : AgainNoticed;
  if (!noticed) Dialogs.ShowNotice(&Main, text);
  noticed = true;
}

void TRecoveryKeeper::EndOnTermSignals() {
  Signals = std::make_unique<TTermSignals>();
  connect(Signals.get(), &TTermSignals::Received, this, &TRecoveryKeeper::EndBySignal);
}

void TRecoveryKeeper::EndBySignal() {
  const bool projectUnsaved = !Main.Document().IsSaved();
  if (projectUnsaved || (Builder != nullptr && TypeState() != TypeAtStart)) {
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

// NOLINTNEXTLINE(readability-function-size): listed in .clang-tidy
void TRecoveryKeeper::OfferLeftBehind() {
  if (!SlotFailure.isEmpty()) SetProtected(SlotFailure);
  SlotFailure.clear();
  if (!Offering) return;
  const QString projectFile = Used->ProjectFile();
  const QString typeFile = Used->TypeFile();
  std::optional<TRecoveredProject> project;
  std::optional<TRecoveredType> type;
  std::optional<TFigureType> typeRead;
  QDateTime time;
  // A file that cannot be read is refused as Open refuses it and kept
  // aside; one that needs more memory than there is now stays for later.
  bool noMemory = false;
  const auto refused = [&](const QString& File, auto&& Read) {
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
      Dialogs.ShowMessage(&Main, QString::fromUtf8(e.what()));
      if (lacksMemory)
        noMemory = true;
      else
        TRecoverySlot::KeepAside(File);
    }
  };
  refused(projectFile, [&] {
    project = ParseProjectRecovery(ReadWholeFile(projectFile, MaxRecoveryFileBytes));
    time = project->Time;
  });
  refused(typeFile, [&] {
    TRecoveredType read = ParseTypeRecovery(ReadWholeFile(typeFile, MaxRecoveryFileBytes));
    typeRead = ReadStkFile(read.StkFile);
    if (!time.isValid() || read.Time > time) time = read.Time;
    type = std::move(read);
  });

  Offering = false;
  if (noMemory) {
    Used = TRecoverySlot::Take(Folder, false);
    return;
  }
  if (!project && !type) return;
  const QString question = QStringLiteral("Tavel did not close properly. Recover the animation from %1?")
                               .arg(time.toLocalTime().toString(QStringLiteral("HH:mm")));
  switch (Dialogs.AskRecover(&Main, question)) {
    case TRecoveryAnswer::Recover: {
      bool recovered = false;
      RunGuarded(Dialogs, &Main, [&] {
        if (project) {
          TRecoveredEdit& e = project->Edit;
          TEditState edit{std::move(e.WorkingFrame), e.EditedFrameIndex, e.SelectedFigure, {}, std::move(e.Ghost)};
          Main.RecoverProject(std::move(project->Animation), std::move(edit), project->ProjectPath);
        }
        if (type && Builder != nullptr) Builder->RecoverType(*typeRead, type->TypePath);
        recovered = true;
      });
      // A copy that could not be installed (no memory for its pictures) is
      // kept for the next start rather than overwritten by new work.
      if (!recovered) Used = TRecoverySlot::Take(Folder, false);
      break;
    }
    case TRecoveryAnswer::Discard:
      QFile::remove(projectFile);
      QFile::remove(typeFile);
      break;
    case TRecoveryAnswer::Later:
      // The files stay for the next start; this program writes in a slot of its own.
      Used = TRecoverySlot::Take(Folder, false);
      break;
  }
}
