// The File, Options and Help menu commands.

#include "builder/FigureBuilderUnit.h"
#include "editor/MainUnit.h"

void TMainForm::New1Click() {
  if (Timer1->isActive()) StopButtonClick();
  NewProject();
}

void TMainForm::Exit1Click() { close(); }

void TMainForm::CreateFigureType1Click() {
  // The builder shows as it was left.
  if (FigureBuilder == nullptr) return;
  FigureBuilder->show();
  FigureBuilder->raise();
  FigureBuilder->activateWindow();
}

// Commands whose work arrives with the project file and figure type file features.
void TMainForm::OpenAnimation1Click() {}
void TMainForm::SaveAnimation1Click() {}
void TMainForm::LoadFigure1Click() {}
