// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Video through the ffmpeg program: the frames are drawn here and piped to
// it raw, and it encodes them, H.264 in an MP4 file or VP9 in a WebM file,
// at 100 / delay frames per second. The video is written into a temporary
// folder and copied over the chosen file only when ffmpeg has finished.

#include <QString>
#include <optional>

#include "export/ExportFrames.h"

enum class TVideoFormat { Mp4, WebM };

// The format a file name's ending (".mp4" or ".webm", any letter case) asks for.
std::optional<TVideoFormat> VideoFormatOf(const QString& Path);

struct TVideoOptions {
  long long Delay = 1;                   // hundredths of a second per frame
  int Shrink = 1;                        // frames are 1/Shrink of the animation size
  TLineStyle Lines = TLineStyle::Pixel;  // how the figures' lines are drawn
  QString Program = QStringLiteral("ffmpeg");
};

// The message when the program cannot be started: it names the package.
extern const char* const NoFfmpegMessage;

// Writes the stored frames as a video to Path. H.264 needs even sizes: an
// MP4 of odd width or height gets one more column or row, a copy of the
// last (ffmpeg's fillborders). EFileError when ffmpeg is missing or fails (with its last words);
// Path then keeps what it held.
void ExportVideoFile(const QString& Path, TVideoFormat Format, const TAnimation& Animation,
                     const TVideoOptions& Options, const TExportProgress& Progress = {}, int Threads = 0);
