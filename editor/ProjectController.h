// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The project commands of the File menu: New, Open Animation, Save, the
// save question that guards unsaved work, installing work recovered after a
// crash, and Exit; and the window's title, which names the project's file.

#include <QObject>

#include "model/Document.h"
#include "platform/GuardedHandlers.h"

class QMainWindow;
class TCanvasController;
struct TMainControls;

class TProjectController : public QObject {
  Q_OBJECT
 public:
  // Canvas makes the drawing area's pictures of a project before it is
  // installed; Window is the main window, whose title names the project.
  TProjectController(TDocument& Doc, TMainControls& Ui, const TWiring& Wiring, QMainWindow& Window,
                     TCanvasController& Canvas);

  void NewClick();
  void OpenAnimationClick();
  // Writes the project to the .tvl it was opened from or last saved to;
  // without one, asks for a name and a type as Save Animation does.
  void SaveClick();
  void ExitClick();

  // A new animation of the current size with one Stickman in the middle,
  // after the save question allows it.
  void NewProject();
  // Offers to save unsaved work; false, with nothing changed, when the user
  // cancelled or answered Yes without a file being written.
  bool DestroyProject();
  // The save question; true when the caller may discard the work: after
  // No, or after Yes once the project was saved. Cancel changes nothing.
  bool SaveProjectAsTvl();
  // Writes BaseName + ".tvl"; a failure throws and leaves the saved state as it was.
  void SaveProject(const QString& BaseName);
  // Reads the project at Path and, once it is known to be sound and the save
  // question allows, makes it the animation.
  void LoadProject(const QString& Path);
  // Makes work recovered after a crash the document: unsaved, so the save
  // question guards it, under the name of the file it came from.
  void RecoverProject(TAnimation&& Animation, TEditState&& Edit, const QString& Path);

 signals:
  // Save found no file to write to: the name and type are to be asked.
  void SaveAsRequested();

 private:
  void Wire();
  // The project's file name, "*" while there are unsaved changes.
  void ShowTitle();

  TDocument& Doc;
  TMainControls& Ui;
  TWiring Wiring;
  QMainWindow& Window;
  TCanvasController& Canvas;
};

// The hourglass over Area for as long as a command runs, also when it ends
// with an error; with Repaint, the window is brought up to date first, as
// the command will not let it paint until it ends.
class TWaitCursor {
 public:
  explicit TWaitCursor(QWidget* Area, bool Repaint = true);
  ~TWaitCursor();
  TWaitCursor(const TWaitCursor&) = delete;
  TWaitCursor& operator=(const TWaitCursor&) = delete;

 private:
  QWidget* Area;
};

// True when none of Paths exists, or the user agrees to replace them.
bool MayReplace(const TWiring& Wiring, const QStringList& Paths);
