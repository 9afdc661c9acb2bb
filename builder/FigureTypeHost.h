// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the figure builder needs of the main window: its list of figure type
// names (item k names the animation's type table entry k + 1) and a way to
// add a type with one figure of it. The main window implements it, so the
// builder never includes the editor.

#include <QString>
#include <QStringList>

#include "model/FigureTypeUnit.h"

class TFigureTypeHost {
 public:
  virtual ~TFigureTypeHost() = default;

  // The items of the main window's figure type list, "Stickman" first.
  virtual QStringList FigureTypeNames() const = 0;
  // Adds a copy of Type to the animation under Name, lists and selects it,
  // and adds one figure of it to the frame being edited, as one step.
  virtual void AddFigureType(const TFigureType& Type, const QString& Name) = 0;
};
