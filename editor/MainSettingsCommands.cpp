// The background picture, the animation dimensions, the ReadMe file and the
// About box.

#include "editor/MainUnit.h"

// Their work arrives with the background and dimensions features.
void TMainForm::LoadBackground1Click() {}
void TMainForm::ClearBackground1Click() {}
void TMainForm::Options1Click() {}
void TMainForm::ViewReadMefile1Click() {}
void TMainForm::About1Click() {}
