// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The stored frames and the thumbnail strip: Next Frame stores the working
// frame, a click on a thumbnail (or a key of the Go menu) brings a stored
// frame back for editing, and the thumbnails' menu inserts, deletes and
// tweens frames; each a step of the document's history. Split by concern:
//   FramesController.cpp  Next Frame, going to frames, the frame position
//   FrameStrip.cpp        the thumbnails, the marker, following the document
//   FrameMenu.cpp         the thumbnail menu: Insert, Delete, Tween

#include <QImage>
#include <QObject>
#include <vector>

#include "editor/TimelineStrip.h"
#include "model/Easing.h"
#include "model/FiguresUnit.h"
#include "platform/GuardedHandlers.h"

class TDocument;
struct TMainControls;

class TFramesController : public QObject {
  Q_OBJECT
 public:
  TFramesController(TDocument& Doc, TMainControls& Ui, const TWiring& Wiring);
  ~TFramesController() override;

  void NextFrameButtonClick();
  // Opens a stored frame for editing; edits not stored are dropped, or
  // stored first when "Store edits when leaving a frame" is on.
  void FrameClick(int Index);
  // Go menu: the stored frame before or after the one under edit (after the
  // last comes the new frame), the first frame, the new frame after the
  // last; each as a thumbnail click, and the strip scrolls to it.
  void PreviousFrameClick();
  void FollowingFrameClick();
  void FirstFrameClick();
  void NewFrameClick();
  // "Store edits when leaving a frame", kept in the user's settings.
  void StoreEditsClick();

  // The thumbnail menu (FrameMenu.cpp) opens on thumbnail Index.
  void FramePopup(int Index);
  void InsertFrameClick();
  void DeleteFrameClick();
  // Asks how many in-between frames to make after the thumbnail's frame,
  // and how to spread them.
  void TweenClick();
  // The hold of the frames under the menu (a Shift+click range at once), asked for.
  void HoldClick();
  // The frame under edit held a tick longer or shorter.
  void HoldLongerClick();
  void HoldShorterClick();
  // The thumbnail the menu opened on, and the frames it acts on: the
  // Shift+click range the thumbnail belongs to, or the thumbnail alone.
  int GetPopupFrameIndex() const { return PopupFrameIndex; }
  TTimelineStrip::TRange PopupRange() const { return Popup; }
  std::vector<TFigures> PopupFrames() const;

  // Every thumbnail made again at the current proportions (FrameStrip.cpp).
  void RedrawTimelineImages();
  int ThumbnailHeight() const;
  int ThumbnailWidth() const;
  // While the stored frames play, Next Frame is off.
  void PlaybackChanged(bool Playing);

 private:
  void Wire();
  void FollowDocument();
  void OnDocumentReset();
  QImage MakeThumbnail(const TFigures& Frame, TThumbnailMaking How) const;
  // Gives the strip the thumbnail size of the current proportions.
  void SyncThumbnailSize();
  // The marker around the thumbnail under edit, and the frame position.
  void ShowFrameUnderEdit();
  void ScrollStripToEnd();
  // Scrolls the strip just enough to show thumbnail Index whole.
  void ScrollStripToFrame(int Index);
  // Opens stored frame Index (-1: the new frame) as a thumbnail click does,
  // saying in the status bar when edits were dropped.
  void GoToFrame(int Index);
  int FrameCount() const;

  TDocument& Doc;
  TMainControls& Ui;
  TWiring Wiring;
  int32_t PopupFrameIndex = 0;
  TTimelineStrip::TRange Popup;
  int TweenCount = 3;  // what the Tween dialog offers next
  TEasing TweenEasing = TEasing::Linear;
};
