// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/PictureBox.h"

#include <QMouseEvent>
#include <QPainter>
#include <cmath>

#include "model/FigureUnit.h"

TPictureBox::TPictureBox(QWidget* Parent) : QWidget(Parent) {
  setMouseTracking(true);
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void TPictureBox::SetPicture(const QImage& Picture) {
  FPicture = Picture;
  update();
}

void TPictureBox::SetZoom(double Zoom) {
  if (Zoom == FZoom || !(Zoom > 0)) return;
  FZoom = Zoom;
  update();
}

QSize TPictureBox::ScreenSize() const {
  if (FZoom == 1.0) return FPicture.size();
  // A part of a pixel takes a whole one; rounding errors do not.
  const auto screen = [this](int Pixels) { return static_cast<int>(std::ceil(Pixels * FZoom - 1e-6)); };
  return {screen(FPicture.width()), screen(FPicture.height())};
}

// Picture pixel k shows on the screen pixels [k * Zoom, (k + 1) * Zoom); the
// screen pixel in the middle of that block stands for the point k.
QPointF TPictureBox::ToPicture(QPointF Screen) const {
  if (FZoom == 1.0) return Screen;
  const double shift = ScreenShift(FZoom);
  return {(Screen.x() - shift) / FZoom, (Screen.y() - shift) / FZoom};
}

QPointF TPictureBox::ToScreen(QPointF Picture) const {
  if (FZoom == 1.0) return Picture;
  const double shift = ScreenShift(FZoom);
  return {Picture.x() * FZoom + shift, Picture.y() * FZoom + shift};
}

QRect TPictureBox::ToScreen(const QRect& Area) const {
  if (FZoom == 1.0 || Area.isEmpty()) return Area;
  const int left = static_cast<int>(std::floor(Area.left() * FZoom));
  const int top = static_cast<int>(std::floor(Area.top() * FZoom));
  const int right = static_cast<int>(std::ceil((Area.right() + 1) * FZoom));
  const int bottom = static_cast<int>(std::ceil((Area.bottom() + 1) * FZoom));
  return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
}

void TPictureBox::Changed(const QRect& Area) {
  if (Area.isEmpty()) return;
  if (FZoom == 1.0) {
    update(Area);
    return;
  }
  update(ToScreen(Area).adjusted(-OverlayMargin, -OverlayMargin, OverlayMargin, OverlayMargin));
}

void TPictureBox::paintEvent(QPaintEvent* Event) {
  QPainter painter(this);
  const QRect area = Event->rect();
  if (FZoom == 1.0) {
    painter.drawImage(area.topLeft(), FPicture, area);
  } else {
    // The picture pixels whose blocks meet the area, scaled onto it: blocks
    // of whole pixels when magnified, smoothed when reduced.
    const int left = static_cast<int>(std::floor(area.left() / FZoom));
    const int top = static_cast<int>(std::floor(area.top() / FZoom));
    const int right = static_cast<int>(std::floor(area.right() / FZoom));
    const int bottom = static_cast<int>(std::floor(area.bottom() / FZoom));
    const QRect source = QRect(QPoint(left, top), QPoint(right, bottom)) & FPicture.rect();
    if (!source.isEmpty()) {
      painter.save();
      painter.setClipRect(area);
      painter.setRenderHint(QPainter::SmoothPixmapTransform, FZoom < 1.0);
      const QRectF target(source.x() * FZoom, source.y() * FZoom, source.width() * FZoom, source.height() * FZoom);
      painter.drawImage(target, FPicture, source);
      painter.restore();
    }
  }
  if (FOverlay) {
    painter.save();
    painter.setClipRect(area);
    FOverlay(painter, area);
    painter.restore();
  }
  // Whatever the picture does not cover shows the window's background.
  const QRegion uncovered = QRegion(area) - QRegion(QRect(QPoint(0, 0), ScreenSize()));
  for (const QRect& r : uncovered) painter.fillRect(r, palette().window());
}

QPointF TPictureBox::PicturePoint(const QMouseEvent* Event) const {
  if (FZoom == 1.0) return QPointF(Event->position().toPoint());
  return ToPicture(Event->position());
}

void TPictureBox::mousePressEvent(QMouseEvent* Event) {
  if (Event->button() == Qt::LeftButton) LeftPressed = true;
  const QPointF p = PicturePoint(Event);
  emit MouseDown(Event->button(), Event->modifiers(), p.x(), p.y());
}

void TPictureBox::mouseMoveEvent(QMouseEvent* Event) {
  const QPointF p = PicturePoint(Event);
  emit MouseMove(Event->modifiers(), p.x(), p.y());
}

void TPictureBox::mouseReleaseEvent(QMouseEvent* Event) {
  const QPointF p = PicturePoint(Event);
  emit MouseUp(Event->button(), Event->modifiers(), p.x(), p.y());
  if (Event->button() == Qt::LeftButton && LeftPressed) {
    LeftPressed = false;
    if (rect().contains(Event->position().toPoint())) emit Clicked();
  }
}
