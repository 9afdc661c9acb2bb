// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/CommandLine.h"

#include <QFileInfo>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <exception>
#include <iterator>
#include <optional>
#include <utility>

#ifdef _WIN32
#include <io.h>
#define TAVEL_ISATTY(fd) _isatty(fd)
#else
#include <unistd.h>
#define TAVEL_ISATTY(fd) isatty(fd)
#endif

#include "export/BitmapExport.h"
#include "export/GifExport.h"
#include "export/PngExport.h"
#include "export/VideoExport.h"
#include "files/FileError.h"
#include "files/ProjectFile.h"
#include "files/Zlib.h"
#include "model/Common.h"

namespace {

constexpr int ExitFailure = 1;
constexpr int ExitUsage = 2;

const char* const Usage =
    "Usage: tavel --export OUT [options] PROJECT.tvl\n"
    "       tavel [PROJECT.tvl | FIGURE.stk]\n"
    "\n"
    "Exports the frames of a Tavel project without opening a window.\n"
    "OUT ending in .gif writes an animated GIF, in .apng an animated PNG, in .mp4\n"
    "(H.264) or .webm (VP9) a video made by the ffmpeg program; OUT ending in\n"
    ".bmp or .png writes one picture per frame, numbered from 0 (walk.bmp gives\n"
    "walk0.bmp, walk1.bmp, ...).\n"
    "\n"
    "Options:\n"
    "  --export OUT    the file to write\n"
    "  --delay N       GIF, APNG and video frame delay in 1/100 seconds, 1 to\n"
    "                  1000000 (default 1); a video has 100/N frames per second\n"
    "  --shrink N      GIF, APNG and video frames are 1/N of the animation size,\n"
    "                  1 to 9 (default 1)\n"
    "  --no-palette    GIF: a 216-colour table in every frame instead of one shared table\n"
    "  --no-merge      GIF: do not make pixels unchanged from the previous frame transparent\n"
    "  --no-crop       GIF: do not cut frames down to their changed area\n"
    "  --exact-colors  GIF: keep the rendered colours exactly when there are at most\n"
    "                  256 in all frames, else choose 256 from all frames and dither\n"
    "  --smaller       GIF: the same pictures in fewer bytes (takes longer)\n"
    "  --smooth        the figures' lines and circles antialiased, in every kind of\n"
    "                  OUT; a GIF's colours are then chosen as --exact-colors does\n"
    "  --help          show this text\n"
    "  --version       show the program's version\n"
    "\n"
    "Exit status: 0 done, 1 the export failed (the reason is printed), 2 bad arguments.\n";

void Print(FILE* Stream, const QString& Text) {
  const QByteArray bytes = Text.toLocal8Bit();
  std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), Stream);
  std::fflush(Stream);
}

enum class TOutput { Gif, Bmp, Png, AnimatedPng, Video };

struct TRequest {
  QString Output;
  QString Project;
  TGifExportOptions Options;
  TOutput Kind = TOutput::Gif;
  QStringList Notes;  // options given that the export cannot follow, said before it runs
};

// An argument the command line cannot use: the reason, for the usage text.
struct EUsage {
  QString Reason;
};

int Whole(const QString& Option, const QString& Value, int Min, int Max) {
  bool ok = false;
  const long long n = Value.toLongLong(&ok);
  if (!ok || n < Min || n > Max)
    throw EUsage{
        QStringLiteral("%1 takes a whole number from %2 to %3, not \"%4\"").arg(Option).arg(Min).arg(Max).arg(Value)};
  return static_cast<int>(n);
}

// An option the type of OUT would ignore is refused rather than accepted
// silently: the delay and the shrink factor are for the GIF, the animated
// PNG and the video; the table and frame options for the GIF alone.
void RefuseIgnoredOptions(const QStringList& Given, TOutput Kind, const QString& Ending) {
  const bool timed = Kind == TOutput::Gif || Kind == TOutput::AnimatedPng || Kind == TOutput::Video;
  for (const QString& option : Given) {
    const bool gifOnly = option != QLatin1String("--delay") && option != QLatin1String("--shrink") &&
                         option != QLatin1String("--smooth");
    if ((gifOnly && Kind != TOutput::Gif) || (!gifOnly && option != QLatin1String("--smooth") && !timed))
      throw EUsage{QStringLiteral("%1 has no effect on a %2 export").arg(option, Ending)};
  }
}

// NOLINTNEXTLINE(readability-function-size): listed in .clang-tidy
TRequest Parse(const QStringList& Arguments) {
  TRequest request;
  std::optional<QString> output;
  QStringList files;
  QStringList given;  // the export options named, to refuse those OUT's type ignores
  bool optionsEnded = false;
  for (int i = 1; i < Arguments.size(); ++i) {
    QString arg = Arguments[i];
    if (optionsEnded || !arg.startsWith(QLatin1Char('-')) || arg == QLatin1String("-")) {
      files << arg;
      continue;
    }
    if (arg == QLatin1String("--")) {
      optionsEnded = true;
      continue;
    }
    // "--delay=5" as well as "--delay 5".
    std::optional<QString> inlineValue;
    const qsizetype equals = arg.indexOf(QLatin1Char('='));
    if (arg.startsWith(QLatin1String("--")) && equals > 0) {
      inlineValue = arg.mid(equals + 1);
      arg = arg.left(equals);
    }
    auto value = [&]() -> QString {
      if (inlineValue) return *inlineValue;
      if (i + 1 >= Arguments.size()) throw EUsage{arg + QStringLiteral(" needs a value")};
      return Arguments[++i];
    };
    auto noValue = [&] {
      if (inlineValue) throw EUsage{arg + QStringLiteral(" takes no value")};
    };
    if (arg != QLatin1String("--export")) given << arg;
    if (arg == QLatin1String("--export")) {
      output = value();
    } else if (arg == QLatin1String("--delay")) {
      request.Options.Delay = Whole(arg, value(), 1, 1000000);
    } else if (arg == QLatin1String("--shrink")) {
      request.Options.Shrink = Whole(arg, value(), 1, 9);
    } else if (arg == QLatin1String("--no-palette")) {
      noValue();
      request.Options.Palette = false;
    } else if (arg == QLatin1String("--no-merge")) {
      noValue();
      request.Options.Merge = false;
    } else if (arg == QLatin1String("--no-crop")) {
      noValue();
      request.Options.Crop = false;
    } else if (arg == QLatin1String("--exact-colors")) {
      noValue();
      request.Options.ExactColors = true;
    } else if (arg == QLatin1String("--smaller")) {
      noValue();
      request.Options.Smaller = true;
    } else if (arg == QLatin1String("--smooth")) {
      noValue();
      request.Options.Lines = TLineStyle::Smooth;
    } else {
      throw EUsage{QStringLiteral("unknown option %1").arg(Arguments[i])};
    }
  }
  if (!output || output->isEmpty()) throw EUsage{QStringLiteral("--export OUT is missing")};
  if (files.size() != 1)
    throw EUsage{files.isEmpty() ? QStringLiteral("the project file is missing")
                                 : QStringLiteral("one project file, not %1").arg(files.size())};
  request.Output = *output;
  request.Project = files.front();
  const std::pair<const char*, TOutput> endings[] = {{".gif", TOutput::Gif},   {".bmp", TOutput::Bmp},
                                                     {".png", TOutput::Png},   {".apng", TOutput::AnimatedPng},
                                                     {".mp4", TOutput::Video}, {".webm", TOutput::Video}};
  const auto ending = std::find_if(std::begin(endings), std::end(endings), [&](const auto& E) {
    return request.Output.endsWith(QLatin1String(E.first), Qt::CaseInsensitive);
  });
  if (ending == std::end(endings))
    throw EUsage{QStringLiteral("OUT must end in .gif, .bmp, .png, .apng, .mp4 or .webm: %1").arg(request.Output)};
  request.Kind = ending->second;
  RefuseIgnoredOptions(given, request.Kind, QLatin1String(ending->first));
  // Exact colours, asked for or brought by smooth lines, keep one table of
  // their own: the palette optimisation has nothing to leave out.
  if (request.Kind == TOutput::Gif && !request.Options.Palette) {
    if (request.Options.Lines == TLineStyle::Smooth)
      request.Notes << QStringLiteral(
          "--no-palette has no effect with --smooth: a GIF of smooth lines keeps one "
          "table of its exact colours");
    else if (request.Options.ExactColors)
      request.Notes << QStringLiteral(
          "--no-palette has no effect with --exact-colors: the GIF keeps one table of its exact colours");
  }
  return request;
}

// Progress on the terminal only: a log or a pipe gets nothing but errors.
TExportProgress TerminalProgress(const QString& Output) {
  if (!TAVEL_ISATTY(2)) return {};
  return [Output, last = -1](int Percent) mutable {
    if (Percent == last) return;
    last = Percent;
    Print(stderr, QStringLiteral("\r%1: %2%").arg(Output).arg(Percent));
  };
}

void Export(const TRequest& Request) {
  TAnimation animation;
  try {
    animation = ReadProjectFile(Request.Project);
  } catch (const EZlibError& e) {
    // The window shows the library's word above this; a script's log needs
    // only the sentence, with the path as it was given.
    throw EFileError(ZlibFaultSentence(Request.Project, e.Fault).toStdString());
  }
  if (animation.Frames.empty()) throw EFileError(NoFramesMessage);
  const TExportProgress progress = TerminalProgress(Request.Output);
  const TGifExportOptions& o = Request.Options;
  switch (Request.Kind) {
    case TOutput::Gif:
      ExportGifFile(Request.Output, animation, o, progress);
      break;
    case TOutput::Bmp:
      // The picture names follow the base name: OUT without its ending.
      SaveAnimationAsBitmaps(Request.Output.chopped(4), animation, progress, 0, o.Lines);
      break;
    case TOutput::Png:
      SaveAnimationAsPngs(Request.Output.chopped(4), animation, progress, 0, o.Lines);
      break;
    case TOutput::AnimatedPng:
      ExportAnimatedPngFile(Request.Output, animation, o.Delay, o.Shrink, progress, 0, o.Lines);
      break;
    case TOutput::Video:
      ExportVideoFile(Request.Output, *VideoFormatOf(Request.Output), animation,
                      {.Delay = o.Delay, .Shrink = o.Shrink, .Lines = o.Lines}, progress);
      break;
  }
  if (progress) Print(stderr, QStringLiteral("\n"));
}

}  // namespace

bool IsExportCommandLine(int argc, char** argv) {
  for (int i = 1; i < argc; ++i)
    if (std::strncmp(argv[i], "--", 2) == 0) return true;
  return false;
}

int RunExportCommandLine(const QStringList& Arguments) {
  if (Arguments.contains(QStringLiteral("--help")) || Arguments.contains(QStringLiteral("-h"))) {
    Print(stdout, QString::fromLatin1(Usage));
    return 0;
  }
  if (Arguments.contains(QStringLiteral("--version"))) {
    Print(stdout, QStringLiteral("tavel %1\n").arg(QStringLiteral(TAVEL_VERSION)));
    return 0;
  }
  TRequest request;
  try {
    request = Parse(Arguments);
  } catch (const EUsage& e) {
    Print(stderr, QStringLiteral("tavel: %1\n\n").arg(e.Reason) + QString::fromLatin1(Usage));
    return ExitUsage;
  }
  for (const QString& note : request.Notes) Print(stderr, QStringLiteral("tavel: %1\n").arg(note));
  try {
    Export(request);
  } catch (const std::exception& e) {
    Print(stderr, QString::fromUtf8(e.what()) + QLatin1Char('\n'));
    return ExitFailure;
  }
  return 0;
}
