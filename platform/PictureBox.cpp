// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/PictureBox.h"

#include <QMouseEvent>
#include <QPainter>

TPictureBox::TPictureBox(QWidget* Parent) : QWidget(Parent) {
  setMouseTracking(true);
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void TPictureBox::SetPicture(const QImage& Picture) {
  FPicture = Picture;
  update();
}

void TPictureBox::Changed(const QRect& Area) {
  if (!Area.isEmpty()) update(Area);
}

void TPictureBox::paintEvent(QPaintEvent* Event) {
  QPainter painter(this);
  const QRect area = Event->rect();
  painter.drawImage(area.topLeft(), FPicture, area);
  // Whatever the picture does not cover shows the window's background.
  const QRegion uncovered = QRegion(area) - QRegion(FPicture.rect());
  for (const QRect& r : uncovered) painter.fillRect(r, palette().window());
}

void TPictureBox::mousePressEvent(QMouseEvent* Event) {
  if (Event->button() == Qt::LeftButton) LeftPressed = true;
  const QPoint p = Event->position().toPoint();
  emit MouseDown(Event->button(), Event->modifiers(), p.x(), p.y());
}

void TPictureBox::mouseMoveEvent(QMouseEvent* Event) {
  const QPoint p = Event->position().toPoint();
  emit MouseMove(Event->modifiers(), p.x(), p.y());
}

void TPictureBox::mouseReleaseEvent(QMouseEvent* Event) {
  const QPoint p = Event->position().toPoint();
  emit MouseUp(Event->button(), Event->modifiers(), p.x(), p.y());
  if (Event->button() == Qt::LeftButton && LeftPressed) {
    LeftPressed = false;
    if (rect().contains(p)) emit Clicked();
  }
}
