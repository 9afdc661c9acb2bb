// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/CommandLine.h"

#include <QFileInfo>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <exception>
#include <iterator>
#include <optional>
#include <vector>

#ifdef _WIN32
#include <io.h>
#define TAVEL_ISATTY(fd) _isatty(fd)
#else
#include <unistd.h>
#define TAVEL_ISATTY(fd) isatty(fd)
#endif

#include "export/ExportTypes.h"
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
    ".bmp or .png writes one picture per tick, numbered from 0 (walk.bmp gives\n"
    "walk0.bmp, walk1.bmp, ...): a frame held for 3 ticks is 3 pictures.\n"
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
    "  --once          BMP and PNG: one picture per frame, whatever its hold\n"
    "  --help          show this text\n"
    "  --version       show the program's version\n"
    "\n"
    "Exit status: 0 done, 1 the export failed (the reason is printed), 2 bad arguments.\n";

void Print(FILE* Stream, const QString& Text) {
  const QByteArray bytes = Text.toLocal8Bit();
  std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), Stream);
  std::fflush(Stream);
}

struct TRequest {
  QString Output;
  QString Project;
  TGifExportOptions Options;
  const TExportType* Type = nullptr;  // what Output's ending asks for
  QStringList Notes{};                // options given that the export cannot follow, said before it runs
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

// An export option: its name, the types it applies to (those whose row
// follows it), whether it takes a value, and what it sets.
struct TOption {
  const char* Name;
  bool TFollowedOptions::*AppliesTo;
  bool TakesValue;
  void (*Set)(TGifExportOptions& Options, const QString& Name, const QString& Value);
};

const TOption KnownOptions[] = {
    {"--delay", &TFollowedOptions::Delay, true,
     [](TGifExportOptions& O, const QString& N, const QString& V) { O.Delay = Whole(N, V, 1, 1000000); }},
    {"--shrink", &TFollowedOptions::Shrink, true,
     [](TGifExportOptions& O, const QString& N, const QString& V) { O.Shrink = Whole(N, V, 1, 9); }},
    {"--no-palette", &TFollowedOptions::Gif, false,
     [](TGifExportOptions& O, const QString&, const QString&) { O.Palette = false; }},
    {"--no-merge", &TFollowedOptions::Gif, false,
     [](TGifExportOptions& O, const QString&, const QString&) { O.Merge = false; }},
    {"--no-crop", &TFollowedOptions::Gif, false,
     [](TGifExportOptions& O, const QString&, const QString&) { O.Crop = false; }},
    {"--exact-colors", &TFollowedOptions::Gif, false,
     [](TGifExportOptions& O, const QString&, const QString&) { O.ExactColors = true; }},
    {"--smaller", &TFollowedOptions::Gif, false,
     [](TGifExportOptions& O, const QString&, const QString&) { O.Smaller = true; }},
    {"--smooth", &TFollowedOptions::Smooth, false,
     [](TGifExportOptions& O, const QString&, const QString&) { O.Lines = TLineStyle::Smooth; }},
    {"--once", &TFollowedOptions::Once, false,
     [](TGifExportOptions& O, const QString&, const QString&) { O.Once = true; }},
};

// What the arguments say, before OUT's type is known.
struct TArguments {
  std::optional<QString> Output;
  QStringList Files;
  TGifExportOptions Options;
  std::vector<const TOption*> Given;  // in the order given, to refuse those OUT's type ignores
};

// Reads the option Arguments[I] into Read, and its value when it takes one
// ("--delay=5" as well as "--delay 5", which moves I past the value).
void ReadOption(const QStringList& Arguments, int& I, TArguments& Read) {
  QString name = Arguments[I];
  std::optional<QString> inlineValue;
  const qsizetype equals = name.indexOf(QLatin1Char('='));
  if (name.startsWith(QLatin1String("--")) && equals > 0) {
    inlineValue = name.mid(equals + 1);
    name = name.left(equals);
  }
  const auto value = [&]() -> QString {
    if (inlineValue) return *inlineValue;
    if (I + 1 >= Arguments.size()) throw EUsage{name + QStringLiteral(" needs a value")};
    return Arguments[++I];
  };
  if (name == QLatin1String("--export")) {
    Read.Output = value();
    return;
  }
  const auto option = std::find_if(std::begin(KnownOptions), std::end(KnownOptions),
                                   [&](const TOption& O) { return name == QLatin1String(O.Name); });
  if (option == std::end(KnownOptions)) throw EUsage{QStringLiteral("unknown option %1").arg(Arguments[I])};
  Read.Given.push_back(option);
  if (!option->TakesValue && inlineValue) throw EUsage{name + QStringLiteral(" takes no value")};
  option->Set(Read.Options, name, option->TakesValue ? value() : QString());
}

TArguments ReadArguments(const QStringList& Arguments) {
  TArguments read;
  bool optionsEnded = false;
  for (int i = 1; i < Arguments.size(); ++i) {
    const QString& arg = Arguments[i];
    if (optionsEnded || !arg.startsWith(QLatin1Char('-')) || arg == QLatin1String("-"))
      read.Files << arg;
    else if (arg == QLatin1String("--"))
      optionsEnded = true;
    else
      ReadOption(Arguments, i, read);
  }
  return read;
}

// An option the type of OUT would ignore is refused rather than accepted
// silently: each applies only to the types whose row follows it.
void RefuseIgnoredOptions(const std::vector<const TOption*>& Given, const TExportType& Type) {
  for (const TOption* option : Given)
    if (!(Type.Follows.*option->AppliesTo))
      throw EUsage{QStringLiteral("%1 has no effect on a %2 export")
                       .arg(QLatin1String(option->Name), QLatin1String(Type.Ending))};
}

// Exact colours, asked for or brought by smooth lines, keep one table of
// their own: the palette optimisation has nothing to leave out.
QStringList PaletteNotes(const TExportType& Type, const TGifExportOptions& Options) {
  if (Type.Id != TExportTypeId::Gif || Options.Palette) return {};
  if (Options.Lines == TLineStyle::Smooth)
    return {
        QStringLiteral("--no-palette has no effect with --smooth: a GIF of smooth lines keeps one "
                       "table of its exact colours")};
  if (Options.ExactColors)
    return {
        QStringLiteral("--no-palette has no effect with --exact-colors: the GIF keeps one table of its exact colours")};
  return {};
}

TRequest Parse(const QStringList& Arguments) {
  const TArguments read = ReadArguments(Arguments);
  if (!read.Output || read.Output->isEmpty()) throw EUsage{QStringLiteral("--export OUT is missing")};
  if (read.Files.size() != 1)
    throw EUsage{read.Files.isEmpty() ? QStringLiteral("the project file is missing")
                                      : QStringLiteral("one project file, not %1").arg(read.Files.size())};
  TRequest request{.Output = *read.Output, .Project = read.Files.front(), .Options = read.Options};
  request.Type = CommandLineTypeOf(request.Output);
  if (request.Type == nullptr)
    throw EUsage{QStringLiteral("OUT must end in %1: %2").arg(CommandLineEndings(), request.Output)};
  RefuseIgnoredOptions(read.Given, *request.Type);
  request.Notes = PaletteNotes(*request.Type, request.Options);
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
  const TExportType& type = *Request.Type;
  // The picture names follow the base name: OUT without its ending. Every
  // other type writes OUT as it was given.
  const QString target = type.Naming == TExportNaming::Numbered ? ExportBaseName(type, Request.Output) : Request.Output;
  type.Write({.Target = target, .Animation = animation, .Options = Request.Options, .Progress = progress});
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
