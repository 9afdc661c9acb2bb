// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A picture control: keeps a picture and repaints from it, and reports mouse
// presses, moves and releases in picture coordinates. While a button is held
// the moves keep coming even outside the control (the toolkit grabs the mouse).
//
// The picture may be shown magnified or reduced (Zoom). Each picture pixel
// then covers a block of the screen, and positions are reported in picture
// coordinates: the screen pixel in the middle of a pixel's block is that
// pixel's whole-numbered point, as at actual size. An overlay painter draws over the picture on the
// screen's scale, for marks that keep their size whatever the zoom.

#include <QImage>
#include <QWidget>
#include <functional>

class TPictureBox : public QWidget {
  Q_OBJECT
 public:
  explicit TPictureBox(QWidget* Parent = nullptr);

  // The picture, drawn at the control's top-left corner. After drawing into
  // it, call Changed with the area (in picture pixels) that changed so the
  // screen follows.
  QImage& Picture() { return FPicture; }
  const QImage& Picture() const { return FPicture; }
  void SetPicture(const QImage& Picture);
  void Changed(const QRect& Area);
  void Changed() { update(); }

  // Screen pixels per picture pixel; 1 shows the picture as it is.
  double Zoom() const { return FZoom; }
  void SetZoom(double Zoom);
  // The screen size the picture takes at the zoom.
  QSize ScreenSize() const;
  // Between the control's points and the picture's.
  QPointF ToPicture(QPointF Screen) const;
  QPointF ToScreen(QPointF Picture) const;
  // The control's pixels that show the picture pixels of Area.
  QRect ToScreen(const QRect& Area) const;

  // Draws over the picture in the control's coordinates, clipped to the
  // area being repainted, after the picture and before the margins.
  using TOverlay = std::function<void(QPainter& Painter, const QRect& Area)>;
  void SetOverlay(TOverlay Overlay) { FOverlay = std::move(Overlay); }
  // How far past a changed area the overlay may draw, in screen pixels.
  void SetOverlayMargin(int Pixels) { OverlayMargin = Pixels; }

 signals:
  void MouseDown(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, double X, double Y);
  void MouseMove(Qt::KeyboardModifiers Shift, double X, double Y);
  void MouseUp(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, double X, double Y);
  // A press and release of the left button on the control.
  void Clicked();

 protected:
  void paintEvent(QPaintEvent* Event) override;
  void mousePressEvent(QMouseEvent* Event) override;
  void mouseMoveEvent(QMouseEvent* Event) override;
  void mouseReleaseEvent(QMouseEvent* Event) override;

 private:
  // The event's position in picture coordinates; at actual size the
  // control's whole pixel, as the toolkit rounds it.
  QPointF PicturePoint(const QMouseEvent* Event) const;

  QImage FPicture;
  double FZoom = 1.0;
  TOverlay FOverlay;
  int OverlayMargin = 0;
  bool LeftPressed = false;
};
