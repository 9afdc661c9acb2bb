#pragma once
// What the figure builder needs of the main window: its list of figure type
// names (item k names FigureTypes entry k + 1) and its Add Figure command.
// The main window implements it, so the builder never includes the editor.

#include <QString>
#include <QStringList>

class TFigureTypeHost {
 public:
  virtual ~TFigureTypeHost() = default;

  // The items of the main window's figure type list, "Stickman" first.
  virtual QStringList FigureTypeNames() const = 0;
  // Appends Name to the list and selects it.
  virtual void AppendFigureTypeName(const QString& Name) = 0;
  // Adds one figure of the selected type to the frame being edited.
  virtual void AddFigureButtonClick() = 0;
};
