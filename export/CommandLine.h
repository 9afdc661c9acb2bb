// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The exporter for scripts and batch work, without any window:
//   tavel --export OUT [--delay N] [--shrink N] [--no-palette] [--no-merge] [--no-crop] [--exact-colors]
//         [--smaller] [--smooth] PROJECT.tvl
// OUT ending in ".gif" writes a GIF, in ".apng" an animated PNG, in ".mp4"
// or ".webm" a video, in ".bmp" or ".png" the numbered sequence of pictures.
// Exit status 0 on success, 1 with the message the window would show for a
// failure, 2 with the usage text for arguments it cannot use.

#include <QStringList>

// True when the program was started with options (an argument beginning
// with "--") rather than a file to open in the window.
bool IsExportCommandLine(int argc, char** argv);

// Runs the command line (Arguments[0] is the program) and returns the exit status.
int RunExportCommandLine(const QStringList& Arguments);
