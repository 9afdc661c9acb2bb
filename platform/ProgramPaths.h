#pragma once
// Where the program finds what it ships with: the ReadMe file and the
// "animations" and "stick figures" folders. This is the one place that
// builds those paths.

#include <QString>

// The folder that holds the program, without a trailing separator.
QString ProgramFolder();
// "ReadMe.txt" beside the program.
QString ReadMeFilePath();
// The folders the open dialogs start in for projects and for figure types.
QString AnimationsFolder();
QString StickFiguresFolder();
