// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// An up-down control: two stacked arrow buttons that step a whole-number
// position between two bounds, without wrapping round. Only the user's arrow
// clicks report Click; a position set by the program reports nothing.

#include <QWidget>

class QToolButton;

class TUpDown : public QWidget {
  Q_OBJECT
 public:
  explicit TUpDown(QWidget* Parent = nullptr);

  int Position() const { return FPosition; }
  // Sets the position, held within the bounds. Click is not reported.
  void SetPosition(int Value);
  void SetRange(int Min, int Max);
  int Min() const { return FMin; }
  int Max() const { return FMax; }

  QToolButton* UpButton() const { return FUp; }
  QToolButton* DownButton() const { return FDown; }

 signals:
  // An arrow click moved the position (a click at a bound moves nothing and
  // is not reported).
  void Click();

 protected:
  void resizeEvent(QResizeEvent* Event) override;

 private:
  void Step(int Delta);

  QToolButton* FUp;
  QToolButton* FDown;
  int FPosition = 0;
  int FMin = 0;
  int FMax = 100;
};
