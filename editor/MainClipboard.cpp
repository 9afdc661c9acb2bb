// SPDX-License-Identifier: GPL-3.0-or-later
// Figures and frames on the system's clipboard: Cut, Copy, Paste and
// Duplicate of the selected figures, Paste Into Frames, and the thumbnail
// menu's Copy Frame, Paste Frame After and Duplicate Frame. What goes on
// the clipboard is a clip (files/FigureClip.h) under a type of its own, so
// another running program pastes it too, with the figure types it needs.

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QStatusBar>

#include "editor/MainUnit.h"
#include "files/FigureClip.h"
#include "files/FileError.h"

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
  } catch (const EFileError& Error) {
    const std::string why = Error.what();
    // More types than a table holds keeps its own sentence.
    if (why == "you cannot add any more figure types") throw;
    throw EFileError("What the clipboard holds is damaged and was not pasted.");
  }
}

}  // namespace

std::vector<TFigure> TMainForm::SelectedFigureCopies() const {
  std::vector<TFigure> figures;
  for (int i : Doc.SelectedFigures()) figures.push_back(Doc.WorkingFrame().Items[static_cast<std::size_t>(i)]);
  return figures;
}

void TMainForm::CopyClick() {
  TFigures figures;
  figures.Items = SelectedFigureCopies();
  if (figures.Items.empty()) return;
  PutOnClipboard(FiguresMimeType, ClipBytes(Animation().Types, {&figures, 1}));
}

void TMainForm::CutClick() {
  if (Doc.SelectedFigures().empty()) return;
  CopyClick();
  Doc.DeleteFigure(QStringLiteral("Cut"));
}

void TMainForm::PasteClick() {
  const std::optional<TClip> clip = FromClipboard(FiguresMimeType, Animation().Types);
  if (!clip || clip->Frames.empty() || clip->Frames.front().Items.empty()) return;
  if (!Doc.PasteFigures(clip->NewTypes, clip->Frames.front().Items, QStringLiteral("Paste")))
    statusBar()->showMessage(QStringLiteral("A frame holds at most 255 figures: nothing was pasted."));
}

void TMainForm::DuplicateClick() {
  if (!Doc.SelectedFigures().empty() && !Doc.DuplicateFigures())
    statusBar()->showMessage(QStringLiteral("A frame holds at most 255 figures: nothing was duplicated."));
}

void TMainForm::PasteIntoFrames(int First) {
  const int frames = static_cast<int>(Animation().Frames.size());
  if (First < 0 || First >= frames) {
    statusBar()->showMessage(QStringLiteral("There is no stored frame after the frame under edit."));
    return;
  }
  const std::optional<TClip> clip = FromClipboard(FiguresMimeType, Animation().Types);
  if (!clip || clip->Frames.empty() || clip->Frames.front().Items.empty()) {
    statusBar()->showMessage(QStringLiteral("The clipboard holds no figures to paste."));
    return;
  }
  const std::optional<int> count =
      Dialogs.AskNumber(this, QStringLiteral("Paste Into Frames"),
                        QStringLiteral("Put the figures into frames %1 to:").arg(First + 1), frames, First + 1, frames);
  if (!count) return;
  if (Ui.PlaybackTimer->isActive()) StopButtonClick();
  const int wanted = *count - First;
  const int filled = Doc.PasteIntoFrames(clip->NewTypes, clip->Frames.front().Items, First, wanted);
  if (filled < wanted)
    statusBar()->showMessage(QStringLiteral("%1 of %2 frames could not hold more figures and were left as they were.")
                                 .arg(wanted - filled)
                                 .arg(wanted));
}

void TMainForm::PasteIntoFramesClick() {
  // From the frame after the one under edit; with the new frame under edit,
  // from a frame the user names.
  const int edited = Doc.EditedFrameIndex();
  const int frames = static_cast<int>(Animation().Frames.size());
  if (edited >= 0 || frames == 0) {
    PasteIntoFrames(edited + 1);
    return;
  }
  const std::optional<int> first =
      Dialogs.AskNumber(this, QStringLiteral("Paste Into Frames"), QStringLiteral("From frame:"), 1, 1, frames);
  if (first) PasteIntoFrames(*first - 1);
}

void TMainForm::FramePasteIntoFramesClick() { PasteIntoFrames(PopupFrameIndex); }

std::vector<TFigures> TMainForm::PopupFrames() const {
  const auto& frames = Animation().Frames;
  if (PopupRange.First < 0 || PopupRange.Last >= static_cast<int>(frames.size())) return {};
  return {frames.begin() + PopupRange.First, frames.begin() + PopupRange.Last + 1};
}

void TMainForm::CopyFrameClick() {
  const std::vector<TFigures> frames = PopupFrames();
  if (!frames.empty()) PutOnClipboard(FramesMimeType, ClipBytes(Animation().Types, frames));
}

void TMainForm::PasteFrameAfterClick() {
  if (PopupRange.First < 0) return;
  const std::optional<TClip> clip = FromClipboard(FramesMimeType, Animation().Types);
  if (!clip || clip->Frames.empty()) {
    statusBar()->showMessage(QStringLiteral("The clipboard holds no frames to paste."));
    return;
  }
  if (Ui.PlaybackTimer->isActive()) StopButtonClick();
  Doc.InsertFrames(PopupRange.Last + 1, clip->Frames, clip->NewTypes,
                   clip->Frames.size() == 1 ? QStringLiteral("Paste Frame") : QStringLiteral("Paste Frames"));
}

void TMainForm::DuplicateFrameClick() {
  std::vector<TFigures> frames = PopupFrames();
  if (frames.empty()) return;
  if (Ui.PlaybackTimer->isActive()) StopButtonClick();
  const QString caption = frames.size() == 1 ? QStringLiteral("Duplicate Frame") : QStringLiteral("Duplicate Frames");
  Doc.InsertFrames(PopupRange.Last + 1, std::move(frames), {}, caption);
}
