// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The types Save Animation and the command line write, one row each, in the
// order the save dialog lists them (the project first): the file type's
// text, the ending, whether the command line writes it, the options it
// follows, its options window (title and settings group) and its writer.
// The save dialog's list, the names a chosen path gives, the command line's
// endings and refusals and the options window all read the rows, so a new
// type is a row here and a writer.

#include <QString>
#include <QStringList>
#include <span>

#include "export/ExportFrames.h"
#include "export/GifExport.h"

// The rows in the save dialog's order: a row's index is its filter index.
enum class TExportTypeId { Project, Gif, Bitmap, Png, AnimatedPng, Mp4, WebM };

// The options a type follows; the command line refuses the others.
struct TFollowedOptions {
  bool Delay = false;   // the frame delay
  bool Shrink = false;  // the shrink factor
  bool Gif = false;     // the GIF's own: palette, merge, crop, exact colours, smaller file
  bool Smooth = false;  // smooth lines
  bool Once = false;    // a numbered series: each frame once, whatever its hold
};

// How a type names what it writes after the base name a chosen path gives.
enum class TExportNaming {
  Ending,    // one file, the base and the type's ending: walk.gif
  Numbered,  // a file per frame, named by the row's FrameFileName: walk0.bmp, walk1.bmp...
  Whole,     // one file, the base itself, which keeps the type's ending: walk.mp4
};

// What a writer is given (ExportTarget gives the target for a base name).
struct TExportJob {
  // The file written; for a numbered type the base of the frames' names.
  QString Target;
  const TAnimation& Animation;  // its stored frames are written
  // Of these the writer reads only those its type follows.
  TGifExportOptions Options;
  TExportProgress Progress;  // may be empty
  int Threads = 0;           // 0: one per core
};

// Writes Job's animation; failures are thrown as EFileError.
using TExportWriter = void (*)(const TExportJob& Job);
// The file of frame Index of FrameCount frames, after Base.
using TFrameFileName = QString (*)(const QString& Base, int Index, int FrameCount);

struct TExportType {
  TExportTypeId Id;
  const char* FileType;  // the save dialog's text, which names Ending: "Gif (*.gif)"
  const char* Ending;    // in lower case, with its full stop: ".gif"
  bool OnCommandLine;    // `--export OUT` writes this type when OUT ends in Ending
  TFollowedOptions Follows;
  // The options window's title, nullptr for a type written without it
  // (the window's OK runs the writer; without it the main window does).
  const char* OptionsTitle;
  // The settings group where the options window keeps what its OK ran with.
  const char* SettingsKey;
  TExportNaming Naming;
  TFrameFileName FrameFileName;  // for Numbered; nullptr otherwise
  // nullptr for the project, which the main window saves itself.
  TExportWriter Write;
};

// Every row, in the save dialog's order.
std::span<const TExportType> ExportTypes();
const TExportType& ExportType(TExportTypeId Id);
// The row of the save dialog's file type FilterIndex; std::out_of_range
// when there is none.
const TExportType& ExportTypeOfFilter(int FilterIndex);
// The save dialog's file types: every row's FileType, in order.
QStringList SaveDialogFilters();

// The type the command line writes for OUT ending in its Ending (in any
// letter case); nullptr when OUT ends in none of them.
const TExportType* CommandLineTypeOf(const QString& Out);
// The endings the command line writes, for its messages: ".gif, .bmp, ... or .webm".
QString CommandLineEndings();

// The base name of the files Type writes for Path, as the save dialog
// chose it: without its ending (Type's, or any of four characters such as
// ".abc"), or for a type named Whole, Path with Type's ending, kept as
// typed or added.
QString ExportBaseName(const TExportType& Type, const QString& Path);
// What the writer's job targets for Base: Base and the ending, Base itself
// (Whole, and Numbered, whose frames are named after it).
QString ExportTarget(const TExportType& Type, const QString& Base);
// Every file an export of Animation writes for Base (a numbered series one
// per tick of each frame's hold, or with Once one per frame), for the
// question before replacing them.
QStringList FilesWritten(const TExportType& Type, const QString& Base, const TAnimation& Animation, bool Once = false);
