// SPDX-License-Identifier: GPL-3.0-or-later
#include <cstdio>
// jpeglib.h needs size_t and FILE declared first, and jerror.h needs jpeglib.h.
#include <jpeglib.h>
// clang-format off
#include <jerror.h>
// clang-format on

#include <QSize>
#include <csetjmp>
#include <cstring>
#include <vector>

#include "files/FileError.h"
#include "files/PictureDecoders.h"
#include "model/Pictures.h"

namespace {

// libjpeg's default handler ends the process; this one jumps back to the
// decoder with the message number. Warnings that mean picture data was lost
// (corrupt or truncated data, which the library would otherwise patch over
// with grey) refuse as well; the others (stray bytes between segments, a
// newer JFIF revision, a damaged colour profile we do not use) lose nothing.
struct TErrorManager {
  jpeg_error_mgr Public;
  std::jmp_buf Return;
  int Code = 0;
};

[[noreturn]] void ErrorExit(j_common_ptr Info) {
  auto* manager = reinterpret_cast<TErrorManager*>(Info->err);
  manager->Code = manager->Public.msg_code;
  std::longjmp(manager->Return, 1);
}

bool LosesPictureData(int Code) {
  switch (Code) {
    case JWRN_ARITH_BAD_CODE:
    case JWRN_BOGUS_PROGRESSION:
    case JWRN_HIT_MARKER:
    case JWRN_HUFF_BAD_CODE:
    case JWRN_JPEG_EOF:
    case JWRN_MUST_RESYNC:
    case JWRN_NOT_SEQUENTIAL:
      return true;
    default:
      return false;
  }
}

void EmitMessage(j_common_ptr Info, int Level) {
  if (Level < 0 && LosesPictureData(Info->err->msg_code)) ErrorExit(Info);
}

void OutputMessage(j_common_ptr) {}

// Adobe writes CMYK inverted; other writers store it plainly.
inline uchar CmykChannel(int Ink, int Black, bool Inverted) {
  return Inverted ? static_cast<uchar>(Ink * Black / 255) : static_cast<uchar>((255 - Ink) * (255 - Black) / 255);
}

// The library's part of the work. Everything it touches that outlives a jump
// back to setjmp is owned by the caller and reached through pointers, so no
// local of this frame changes between setjmp and longjmp. Returns the size
// to refuse (width, height) when the picture is too large or, with Failed
// set, could not be allocated; else an invalid size.
QSize Decode(jpeg_decompress_struct* Info, TErrorManager* Errors, const QByteArray* File, QImage* Picture,
             std::vector<uchar>* CmykRow, bool* Failed) {
  if (setjmp(Errors->Return) != 0) {
    *Failed = true;
    return QSize();
  }
  jpeg_mem_src(Info, reinterpret_cast<const unsigned char*>(File->constData()),
               static_cast<unsigned long>(File->size()));
  jpeg_read_header(Info, TRUE);
  if (Info->image_width > MaxPictureSide || Info->image_height > MaxPictureSide)
    return QSize(static_cast<int>(Info->image_width), static_cast<int>(Info->image_height));
  const bool cmyk = Info->jpeg_color_space == JCS_CMYK || Info->jpeg_color_space == JCS_YCCK;
  const bool inverted = cmyk && Info->saw_Adobe_marker;
  // Colour and grey go straight into the picture's memory order (B, G, R,
  // 0xFF on little-endian machines); CMYK is converted row by row.
  Info->out_color_space = cmyk ? JCS_CMYK : Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? JCS_EXT_BGRA : JCS_EXT_ARGB;
  jpeg_start_decompress(Info);
  *Picture = TryNewPicture(QSize(static_cast<int>(Info->output_width), static_cast<int>(Info->output_height)));
  if (Picture->isNull()) {
    *Failed = true;
    return QSize(static_cast<int>(Info->output_width), static_cast<int>(Info->output_height));
  }
  if (cmyk) CmykRow->resize(static_cast<std::size_t>(Info->output_width) * 4);
  while (Info->output_scanline < Info->output_height) {
    const int y = static_cast<int>(Info->output_scanline);
    if (!cmyk) {
      JSAMPROW row = Picture->scanLine(y);
      jpeg_read_scanlines(Info, &row, 1);
      continue;
    }
    JSAMPROW row = CmykRow->data();
    jpeg_read_scanlines(Info, &row, 1);
    QRgb* out = reinterpret_cast<QRgb*>(Picture->scanLine(y));
    for (JDIMENSION x = 0; x < Info->output_width; ++x) {
      const uchar* p = CmykRow->data() + std::size_t{4} * x;
      out[x] =
          qRgb(CmykChannel(p[0], p[3], inverted), CmykChannel(p[1], p[3], inverted), CmykChannel(p[2], p[3], inverted));
    }
  }
  jpeg_finish_decompress(Info);
  return QSize();
}

}  // namespace

QImage DecodeJpeg(const QByteArray& File) {
  jpeg_decompress_struct info;
  TErrorManager errors;
  info.err = jpeg_std_error(&errors.Public);
  errors.Public.error_exit = ErrorExit;
  errors.Public.emit_message = EmitMessage;
  errors.Public.output_message = OutputMessage;
  jpeg_create_decompress(&info);
  QImage picture;
  std::vector<uchar> cmykRow;
  bool failed = false;
  const QSize size = Decode(&info, &errors, &File, &picture, &cmykRow, &failed);
  jpeg_destroy_decompress(&info);
  // A size comes back when the picture is too large or could not be made.
  if (size.isValid() && failed) throw EPictureMemory(size);
  if (size.isValid()) throw EFileError(PictureTooLargeMessage(size.width(), size.height()).toStdString());
  if (failed) throw EFileError(QStringLiteral("JPEG error #%1").arg(errors.Code).toStdString());
  return picture;
}
