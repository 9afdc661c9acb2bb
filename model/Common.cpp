#include "model/Common.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

#include "model/Rounding.h"

#ifdef Q_OS_WIN
#include <QLibrary>
#include <QOperatingSystemVersion>
#endif

std::vector<TFigures> Frames;
QImage Background;
int32_t AnimationWidth = 506;
int32_t AnimationHeight = 415;
uint8_t ThemeOffset = 0;
QString AnimationFileName;

void ResetAnimationState() {
  Frames.clear();
  Background = QImage();
  AnimationWidth = 506;
  AnimationHeight = 415;
  ThemeOffset = 0;
  AnimationFileName.clear();
  CreateFigureTypeTable();
}

void PrepareCanvas(QPainter& Canvas) {
  Canvas.setRenderHint(QPainter::Antialiasing, false);
  QPen pen(Qt::black, 1, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
  Canvas.setPen(pen);
  Canvas.setBrush(Qt::white);
}

void DrawFrame(QPainter& Canvas, const TFigures& Frame, float Zoom) {
  if (Zoom == 1.0f) {
    Canvas.drawImage(QPoint(0, 0), Background);
  } else {
    // A side shrunk below half a pixel still shows the background in one pixel.
    const QRect target(0, 0, std::max(1, RoundPixel(static_cast<double>(AnimationWidth) * Zoom)),
                       std::max(1, RoundPixel(static_cast<double>(AnimationHeight) * Zoom)));
    Canvas.drawImage(target, Background);
  }
  Frame.Draw(Canvas, Zoom);
}

bool ThemesActive() {
#ifdef Q_OS_WIN
  // Themes exist from Windows XP (5.1) on; ask the theme library whether they are on.
  if (QOperatingSystemVersion::current() < QOperatingSystemVersion(QOperatingSystemVersion::Windows, 5, 1))
    return false;
  QLibrary uxtheme(QStringLiteral("uxtheme"));
  using IsThemeActiveFn = int(__stdcall*)();
  auto isThemeActive = reinterpret_cast<IsThemeActiveFn>(uxtheme.resolve("IsThemeActive"));
  const bool active = isThemeActive && isThemeActive() != 0;
  uxtheme.unload();
  return active;
#else
  // Other desktops have no such service; the windows lay out without the allowance.
  return false;
#endif
}
