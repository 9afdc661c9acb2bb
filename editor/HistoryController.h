// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Undo and Redo of the Edit menu, captioned with the step they take, and
// their keys, which undo the animation wherever the focus is in the window.

#include <QObject>

#include "platform/GuardedHandlers.h"

class TDocument;
struct TMainControls;

class THistoryController : public QObject {
  Q_OBJECT
 public:
  // Window is the main window, whose keys are the history's.
  THistoryController(TDocument& Doc, TMainControls& Ui, const TWiring& Wiring, QWidget& Window);
  ~THistoryController() override;

  void UndoClick();
  void RedoClick();

 protected:
  bool eventFilter(QObject* Watched, QEvent* Event) override;

 private:
  TDocument& Doc;
  TMainControls& Ui;
  QWidget& Window;
};
