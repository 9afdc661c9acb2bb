// SPDX-License-Identifier: GPL-3.0-or-later
// The clipboard's commands on figures and frames.

#include "editor/ClipboardController.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QStatusBar>

#include "editor/FramesController.h"
#include "editor/MainControls.h"
#include "files/FigureClip.h"
#include "files/FileError.h"
#include "model/Document.h"

namespace {

void PutOnClipboard(const char* MimeType, const QByteArray& Clip) {
  auto* data = new QMimeData;
  data->setData(QString::fromLatin1(MimeType), Clip);
  QGuiApplication::clipboard()->setMimeData(data);
}

// The clip of MimeType on the clipboard, made ready for Types; nothing when
// the clipboard holds none.
std::optional<TClip> FromClipboard(const char* MimeType, const TFigureTypeTable& Types) {
  const QMimeData* data = QGuiApplication::clipboard()->mimeData();
  const QString type = QString::fromLatin1(MimeType);
  if (data == nullptr || !data->hasFormat(type)) return std::nullopt;
  try {
    return ReadClip(data->data(type), Types);
  } catch (const ETooManyFigureTypes&) {
    // More types than a table holds keeps its own sentence.
    throw;
  } catch (const EFileError&) {
    throw EFileError("What the clipboard holds is damaged and was not pasted.");
  }
}

}  // namespace

TClipboardController::TClipboardController(TDocument& Doc, TMainControls& Ui, const TWiring& Wiring,
                                           const TFramesController& Frames)
    : QObject(Wiring.Parent()), Doc(Doc), Ui(Ui), Wiring(Wiring), Frames(Frames) {
  Wire();
}

void TClipboardController::Wire() {
  Wiring.Connect(Ui.CutAction, this, &TClipboardController::CutClick);
  Wiring.Connect(Ui.CopyAction, this, &TClipboardController::CopyClick);
  Wiring.Connect(Ui.PasteAction, this, &TClipboardController::PasteClick);
  Wiring.Connect(Ui.DuplicateAction, this, &TClipboardController::DuplicateClick);
  Wiring.Connect(Ui.PasteIntoFramesAction, this, &TClipboardController::PasteIntoFramesClick);
  Wiring.Connect(Ui.CopyFrameAction, this, &TClipboardController::CopyFrameClick);
  Wiring.Connect(Ui.PasteFrameAfterAction, this, &TClipboardController::PasteFrameAfterClick);
  Wiring.Connect(Ui.DuplicateFrameAction, this, &TClipboardController::DuplicateFrameClick);
  Wiring.Connect(Ui.FramePasteIntoFramesAction, this, &TClipboardController::FramePasteIntoFramesClick);
}

int TClipboardController::FrameCount() const { return static_cast<int>(Doc.Animation().Frames.size()); }

std::vector<TFigure> TClipboardController::SelectedFigureCopies() const {
  std::vector<TFigure> figures;
  for (int i : Doc.SelectedFigures()) figures.push_back(Doc.WorkingFrame().Items[static_cast<std::size_t>(i)]);
  return figures;
}

void TClipboardController::CopyClick() {
  TFigures figures;
  figures.Items = SelectedFigureCopies();
  if (figures.Items.empty()) return;
  PutOnClipboard(FiguresMimeType, ClipBytes(Doc.Animation().Types, {&figures, 1}));
}

void TClipboardController::CutClick() {
  if (Doc.SelectedFigures().empty()) return;
  CopyClick();
  Doc.DeleteFigure(QStringLiteral("Cut"));
}

void TClipboardController::PasteClick() {
  const std::optional<TClip> clip = FromClipboard(FiguresMimeType, Doc.Animation().Types);
  if (!clip || clip->Frames.empty() || clip->Frames.front().Items.empty()) return;
  if (!Doc.PasteFigures(clip->NewTypes, clip->Frames.front().Items, QStringLiteral("Paste")))
    Ui.StatusBar->showMessage(QStringLiteral("A frame holds at most 255 figures: nothing was pasted."));
}

void TClipboardController::DuplicateClick() {
  if (!Doc.SelectedFigures().empty() && !Doc.DuplicateFigures())
    Ui.StatusBar->showMessage(QStringLiteral("A frame holds at most 255 figures: nothing was duplicated."));
}

void TClipboardController::PasteIntoFrames(int First) {
  const int frames = FrameCount();
  if (First < 0 || First >= frames) {
    Ui.StatusBar->showMessage(QStringLiteral("There is no stored frame after the frame under edit."));
    return;
  }
  const std::optional<TClip> clip = FromClipboard(FiguresMimeType, Doc.Animation().Types);
  if (!clip || clip->Frames.empty() || clip->Frames.front().Items.empty()) {
    Ui.StatusBar->showMessage(QStringLiteral("The clipboard holds no figures to paste."));
    return;
  }
  const std::optional<int> count = Wiring.Dialogs().AskNumber(
      Wiring.Parent(), QStringLiteral("Paste Into Frames"),
      QStringLiteral("Put the figures into frames %1 to:").arg(First + 1), frames, First + 1, frames);
  if (!count) return;
  const int wanted = *count - First;
  const int filled = Doc.PasteIntoFrames(clip->NewTypes, clip->Frames.front().Items, First, wanted);
  if (filled < wanted)
    Ui.StatusBar->showMessage(QStringLiteral("%1 of %2 frames could not hold more figures and were left as they were.")
                                  .arg(wanted - filled)
                                  .arg(wanted));
}

void TClipboardController::PasteIntoFramesClick() {
  const int edited = Doc.EditedFrameIndex();
  const int frames = FrameCount();
  if (edited >= 0 || frames == 0) {
    PasteIntoFrames(edited + 1);
    return;
  }
  const std::optional<int> first = Wiring.Dialogs().AskNumber(Wiring.Parent(), QStringLiteral("Paste Into Frames"),
                                                              QStringLiteral("From frame:"), 1, 1, frames);
  if (first) PasteIntoFrames(*first - 1);
}

void TClipboardController::FramePasteIntoFramesClick() { PasteIntoFrames(Frames.GetPopupFrameIndex()); }

void TClipboardController::CopyFrameClick() {
  const std::vector<TFigures> frames = Frames.PopupFrames();
  if (!frames.empty()) PutOnClipboard(FramesMimeType, ClipBytes(Doc.Animation().Types, frames));
}

void TClipboardController::PasteFrameAfterClick() {
  const TTimelineStrip::TRange range = Frames.PopupRange();
  if (range.First < 0) return;
  const std::optional<TClip> clip = FromClipboard(FramesMimeType, Doc.Animation().Types);
  if (!clip || clip->Frames.empty()) {
    Ui.StatusBar->showMessage(QStringLiteral("The clipboard holds no frames to paste."));
    return;
  }
  Doc.InsertFrames(range.Last + 1, clip->Frames, clip->NewTypes,
                   clip->Frames.size() == 1 ? QStringLiteral("Paste Frame") : QStringLiteral("Paste Frames"));
}

void TClipboardController::DuplicateFrameClick() {
  std::vector<TFigures> frames = Frames.PopupFrames();
  if (frames.empty()) return;
  const QString caption = frames.size() == 1 ? QStringLiteral("Duplicate Frame") : QStringLiteral("Duplicate Frames");
  Doc.InsertFrames(Frames.PopupRange().Last + 1, std::move(frames), {}, caption);
}
