// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A picture control: keeps a picture and repaints from it, and reports mouse
// presses, moves and releases in picture coordinates. While a button is held
// the moves keep coming even outside the control (the toolkit grabs the mouse).

#include <QImage>
#include <QWidget>

class TPictureBox : public QWidget {
  Q_OBJECT
 public:
  explicit TPictureBox(QWidget* Parent = nullptr);

  // The picture, drawn at the control's top-left corner. After drawing into
  // it, call Changed with the area that changed so the screen follows.
  QImage& Picture() { return FPicture; }
  const QImage& Picture() const { return FPicture; }
  void SetPicture(const QImage& Picture);
  void Changed(const QRect& Area);
  void Changed() { update(); }

 signals:
  void MouseDown(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
  void MouseMove(Qt::KeyboardModifiers Shift, int X, int Y);
  void MouseUp(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
  // A press and release of the left button on the control.
  void Clicked();

 protected:
  void paintEvent(QPaintEvent* Event) override;
  void mousePressEvent(QMouseEvent* Event) override;
  void mouseMoveEvent(QMouseEvent* Event) override;
  void mouseReleaseEvent(QMouseEvent* Event) override;

 private:
  QImage FPicture;
  bool LeftPressed = false;
};
