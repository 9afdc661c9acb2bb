// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/ExportTypes.h"

#include <algorithm>
#include <iterator>
#include <stdexcept>

#include "export/BitmapExport.h"
#include "export/PngExport.h"
#include "export/VideoExport.h"
#include "files/FileNames.h"

namespace {

void WriteGif(const TExportJob& Job) {
  ExportGifFile(Job.Target, Job.Animation, Job.Options, Job.Progress, Job.Threads);
}

void WriteBitmaps(const TExportJob& Job) {
  SaveAnimationAsBitmaps(Job.Target, Job.Animation, Job.Progress, Job.Threads, Job.Options.Lines, Job.Options.Once);
}

void WritePngs(const TExportJob& Job) {
  SaveAnimationAsPngs(Job.Target, Job.Animation, Job.Progress, Job.Threads, Job.Options.Lines, Job.Options.Once);
}

void WriteApng(const TExportJob& Job) {
  ExportAnimatedPngFile(Job.Target, Job.Animation, Job.Options.Delay, Job.Options.Shrink, Job.Progress, Job.Threads,
                        Job.Options.Lines);
}

void WriteVideo(const TExportJob& Job, TVideoFormat Format) {
  const TGifExportOptions& o = Job.Options;
  ExportVideoFile(Job.Target, Format, Job.Animation, {.Delay = o.Delay, .Shrink = o.Shrink, .Lines = o.Lines},
                  Job.Progress, Job.Threads);
}

void WriteMp4(const TExportJob& Job) { WriteVideo(Job, TVideoFormat::Mp4); }
void WriteWebM(const TExportJob& Job) { WriteVideo(Job, TVideoFormat::WebM); }

constexpr TFollowedOptions EveryOption{.Delay = true, .Shrink = true, .Gif = true, .Smooth = true};
constexpr TFollowedOptions Timed{.Delay = true, .Shrink = true, .Smooth = true};
constexpr TFollowedOptions Series{.Smooth = true, .Once = true};

constexpr TExportType Types[] = {
    {.Id = TExportTypeId::Project,
     .FileType = "Tavel File (*.tvl)",
     .Ending = ".tvl",
     .OnCommandLine = false,
     .Follows = {},
     .OptionsTitle = nullptr,
     .SettingsKey = nullptr,
     .Naming = TExportNaming::Ending,
     .FrameFileName = nullptr,
     .Write = nullptr},
    {.Id = TExportTypeId::Gif,
     .FileType = "Gif (*.gif)",
     .Ending = ".gif",
     .OnCommandLine = true,
     .Follows = EveryOption,
     .OptionsTitle = "Gif Options",
     .SettingsKey = "ExportOptions/Gif",
     .Naming = TExportNaming::Ending,
     .FrameFileName = nullptr,
     .Write = WriteGif},
    {.Id = TExportTypeId::Bitmap,
     .FileType = "Bitmap (*.bmp)",
     .Ending = ".bmp",
     .OnCommandLine = true,
     .Follows = Series,
     .OptionsTitle = nullptr,
     .SettingsKey = nullptr,
     .Naming = TExportNaming::Numbered,
     .FrameFileName = BitmapFileName,
     .Write = WriteBitmaps},
    {.Id = TExportTypeId::Png,
     .FileType = "PNG (*.png)",
     .Ending = ".png",
     .OnCommandLine = true,
     .Follows = Series,
     .OptionsTitle = nullptr,
     .SettingsKey = nullptr,
     .Naming = TExportNaming::Numbered,
     .FrameFileName = PngFileName,
     .Write = WritePngs},
    {.Id = TExportTypeId::AnimatedPng,
     .FileType = "Animated PNG (*.apng)",
     .Ending = ".apng",
     .OnCommandLine = true,
     .Follows = Timed,
     .OptionsTitle = "Animated PNG Options",
     .SettingsKey = "ExportOptions/AnimatedPng",
     .Naming = TExportNaming::Ending,
     .FrameFileName = nullptr,
     .Write = WriteApng},
    // The two videos share their options window and its settings.
    {.Id = TExportTypeId::Mp4,
     .FileType = "MP4 video (*.mp4)",
     .Ending = ".mp4",
     .OnCommandLine = true,
     .Follows = Timed,
     .OptionsTitle = "Video Options",
     .SettingsKey = "ExportOptions/Video",
     .Naming = TExportNaming::Whole,
     .FrameFileName = nullptr,
     .Write = WriteMp4},
    {.Id = TExportTypeId::WebM,
     .FileType = "WebM video (*.webm)",
     .Ending = ".webm",
     .OnCommandLine = true,
     .Follows = Timed,
     .OptionsTitle = "Video Options",
     .SettingsKey = "ExportOptions/Video",
     .Naming = TExportNaming::Whole,
     .FrameFileName = nullptr,
     .Write = WriteWebM},
};

// ExportType looks a row up by its place.
constexpr bool InIdOrder() {
  for (std::size_t i = 0; i < std::size(Types); ++i)
    if (static_cast<std::size_t>(Types[i].Id) != i) return false;
  return true;
}
static_assert(InIdOrder(), "the rows follow TExportTypeId");

}  // namespace

std::span<const TExportType> ExportTypes() { return Types; }

const TExportType& ExportType(TExportTypeId Id) { return Types[static_cast<std::size_t>(Id)]; }

const TExportType& ExportTypeOfFilter(int FilterIndex) {
  if (FilterIndex < 0 || FilterIndex >= static_cast<int>(std::size(Types)))
    throw std::out_of_range("no export type has that file type index");
  return Types[FilterIndex];
}

QStringList SaveDialogFilters() {
  QStringList filters;
  for (const TExportType& type : Types) filters << QString::fromLatin1(type.FileType);
  return filters;
}

const TExportType* CommandLineTypeOf(const QString& Out) {
  const auto found = std::find_if(std::begin(Types), std::end(Types), [&](const TExportType& T) {
    return T.OnCommandLine && Out.endsWith(QLatin1String(T.Ending), Qt::CaseInsensitive);
  });
  return found == std::end(Types) ? nullptr : found;
}

QString CommandLineEndings() {
  QStringList endings;
  for (const TExportType& type : Types)
    if (type.OnCommandLine) endings << QString::fromLatin1(type.Ending);
  const QString last = endings.takeLast();
  return endings.join(QStringLiteral(", ")) + QStringLiteral(" or ") + last;
}

QString ExportBaseName(const TExportType& Type, const QString& Path) {
  const QLatin1String ending(Type.Ending);
  // ".apng" has five characters, which RemoveExtention's four would leave.
  const bool typed = Path.endsWith(ending, Qt::CaseInsensitive);
  // A video keeps the ending of its type: its writer takes the whole name.
  if (Type.Naming == TExportNaming::Whole) return typed ? Path : RemoveExtention(Path) + ending;
  return typed ? Path.chopped(ending.size()) : RemoveExtention(Path);
}

QString ExportTarget(const TExportType& Type, const QString& Base) {
  return Type.Naming == TExportNaming::Ending ? Base + QLatin1String(Type.Ending) : Base;
}

QStringList FilesWritten(const TExportType& Type, const QString& Base, const TAnimation& Animation, bool Once) {
  if (Type.Naming != TExportNaming::Numbered) return {ExportTarget(Type, Base)};
  const int files = SeriesFileStarts(Animation, Once).back();
  QStringList names;
  for (int i = 0; i < files; ++i) names << Type.FrameFileName(Base, i, files);
  return names;
}
