// Next Frame and the thumbnail strip.

#include "editor/MainUnit.h"

void TMainForm::NextFrameButtonClick() {
  // Storing frames arrives with the thumbnail strip.
}
