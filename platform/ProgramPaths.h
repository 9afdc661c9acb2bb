// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Where the program finds what it ships with (the ReadMe file and the
// "animations" and "stick figures" folders) and where its open dialogs
// start. This is the one place that builds those paths.
//
// A built or unpacked copy keeps everything beside the program. Installed
// under a prefix, the program lies in <prefix>/bin and its files in
// <prefix>/share/tavel; as the program's own folder cannot be written
// there, the dialogs start in folders of the user's ("Tavel/animations" and
// "Tavel/stick figures" in the documents folder), made on first use with
// the shipped samples copied in.

#include <QString>

struct TProgramPlaces {
  QString Shipped;           // folder holding ReadMe.txt, "animations" and "stick figures"
  QString ReadMe;            // the ReadMe file (it may be missing)
  QString Animations;        // where the project dialogs start
  QString StickFigures;      // where the figure type dialogs start
  bool UserFolders = false;  // the two dialog folders are the user's copies
};

// The rules above for a program in ProgramFolder (writable or not) and a
// user whose documents folder is Documents. Looks at the disk; changes nothing.
TProgramPlaces FindProgramPlaces(const QString& ProgramFolder, bool ProgramFolderWritable, const QString& Documents);

// Makes Folder, when it does not exist yet, with copies of the files in
// Samples. False when it neither exists nor could be made.
bool MakeUserFolder(const QString& Folder, const QString& Samples);

// The places of this run of the program.
QString ReadMeFilePath();
// The dialogs' folders; the user's copy is made on first use.
QString AnimationsFolder();
QString StickFiguresFolder();
