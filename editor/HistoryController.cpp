// SPDX-License-Identifier: GPL-3.0-or-later
// Undo and Redo.

#include "editor/HistoryController.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QStatusBar>

#include "editor/MainControls.h"
#include "model/Document.h"

THistoryController::THistoryController(TDocument& Doc, TMainControls& Ui, const TWiring& Wiring, QWidget& Window)
    : QObject(&Window), Doc(Doc), Ui(Ui), Window(Window) {
  Wiring.Connect(Ui.UndoAction, this, &THistoryController::UndoClick);
  Wiring.Connect(Ui.RedoAction, this, &THistoryController::RedoClick);
  // The lambdas die with the controller: the document's history outlives it.
  const QUndoStack& history = Doc.History();
  connect(&history, &QUndoStack::canUndoChanged, Ui.UndoAction, &QAction::setEnabled);
  connect(&history, &QUndoStack::canRedoChanged, Ui.RedoAction, &QAction::setEnabled);
  connect(&history, &QUndoStack::undoTextChanged, this, [this](const QString& Text) {
    this->Ui.UndoAction->setText(QStringLiteral("&Undo %1").arg(Text).trimmed());
  });
  connect(&history, &QUndoStack::redoTextChanged, this, [this](const QString& Text) {
    this->Ui.RedoAction->setText(QStringLiteral("&Redo %1").arg(Text).trimmed());
  });
  qApp->installEventFilter(this);
}

THistoryController::~THistoryController() { qApp->removeEventFilter(this); }

void THistoryController::UndoClick() {
  // A note that Undo brings dropped edits back has done its work.
  Ui.StatusBar->clearMessage();
  Doc.Undo();
}

void THistoryController::RedoClick() { Doc.Redo(); }

namespace {
bool IsHistoryKey(const QKeyEvent* Key) {
  const QKeySequence keys(Key->keyCombination());
  return keys == QKeySequence(Qt::CTRL | Qt::Key_Z) || keys == QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z) ||
         keys == QKeySequence(Qt::CTRL | Qt::Key_Y);
}
}  // namespace

bool THistoryController::eventFilter(QObject* Watched, QEvent* Event) {
  // The history keys undo the animation wherever the focus is, also in the
  // type list and the scale edit, whose own text undo is not what is meant.
  if (Event->type() == QEvent::ShortcutOverride && Watched->isWidgetType() &&
      static_cast<QWidget*>(Watched)->window() == &Window && IsHistoryKey(static_cast<QKeyEvent*>(Event))) {
    Event->ignore();
    return true;
  }
  return QObject::eventFilter(Watched, Event);
}
