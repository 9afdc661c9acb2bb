// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/Common.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

#include "model/Pictures.h"
#include "model/Rounding.h"

#ifdef Q_OS_WIN
#include <QLibrary>
#include <QOperatingSystemVersion>
#endif

uint8_t ThemeOffset() { return ThemesActive() ? 8 : 0; }

void PrepareCanvas(QPainter& Canvas) {
  Canvas.setRenderHint(QPainter::Antialiasing, false);
  QPen pen(Qt::black, 1, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
  Canvas.setPen(pen);
  Canvas.setBrush(Qt::white);
}

QImage TAnimation::WhiteBackground(QSize Size) {
  QImage picture = NewPicture(Size);
  picture.fill(Qt::white);
  return picture;
}

TAnimation NewAnimation() {
  TAnimation animation;
  animation.Background = TAnimation::WhiteBackground(animation.Size());
  return animation;
}

void DrawFrame(QPainter& Canvas, const TAnimation& Animation, const TFigures& Frame, float Zoom, TLineStyle Lines) {
  if (Zoom == 1.0f) {
    Canvas.drawImage(QPoint(0, 0), Animation.Background);
  } else {
    // A side shrunk below half a pixel still shows the background in one pixel.
    const QRect target(0, 0, std::max(1, RoundPixel(static_cast<double>(Animation.Width) * Zoom)),
                       std::max(1, RoundPixel(static_cast<double>(Animation.Height) * Zoom)));
    Canvas.drawImage(target, Animation.Background);
  }
  Frame.Draw(Canvas, Zoom, Lines);
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
