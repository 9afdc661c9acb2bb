// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/MainHotkeys.h"

#include <stdexcept>

const QList<THotkeyRow>& MainHotkeys() {
  static const QList<THotkeyRow> rows{
      {"Alt+P", "play animation", "show the stored frames one after another"},
      {"Alt+S", "stop animation", "back to editing"},
      {"", "Repeat", "play again from the first frame at the end"},
      {"", "frame rate", "sets the playback speed; drag it to see the rate"},
      {"", "figure types", "the type Add Figure places"},
      {"Alt+A", "Add Figure", "a figure of the chosen type in the middle of the drawing"},
      {"Alt+D", "Delete", "delete the selected figure"},
      {"Alt+E", "Edit", "open the selected figure's type in the Stick Figure Builder"},
      {"Alt+C", "Center", "move the selected figure to the middle of the drawing"},
      {"Alt+L", "Flip", "mirror the selected figure"},
      {"", "Colour", "choose the selected figure's colour"},
      {"", "Scale", "the selected figure's size in percent"},
      {"Alt+F", "Front", "draw the selected figure in front of the others"},
      {"Alt+B", "Back", "draw the selected figure behind the others"},
      {"Alt+N", "Next Frame", "store the working frame and start the next"},
      {"Mouse wheel", "Select", "select the next or the previous figure"},
      {",", "Previous Frame", "open the stored frame before the one under edit"},
      {".", "Following Frame", "open the stored frame after it; after the last, the new frame"},
      {"Home", "First Frame", "open the first stored frame"},
      {"End", "New Frame", "back to the new frame after the last, a copy of the last frame"},
      {"Ctrl+N", "New", "start a new animation"},
      {"Alt+O, Ctrl+O", "Open Animation", "open a project (.tvl)"},
      {"Ctrl+S", "Save", "save the project under its name"},
      {"Alt+K, Ctrl+Shift+S", "Save Animation", "save the project, a GIF or pictures"},
      {"Alt+V", "Load Background", "a BMP or JPEG picture behind every frame"},
      {"Alt+M", "Load Figure Type", "add a figure type from a .stk file"},
      {"Alt+T", "Create Figure Type", "show the Stick Figure Builder"},
      {"Ctrl+Q", "Exit", "close Tavel"},
      {"Ctrl+Z", "Undo", "take back the last change"},
      {"Ctrl+Shift+Z, Ctrl+Y", "Redo", "make the change again"},
      {"Ctrl+X", "Cut", "the selected figures onto the clipboard, out of the frame"},
      {"Ctrl+C", "Copy", "the selected figures onto the clipboard"},
      {"Ctrl+V", "Paste", "the clipboard's figures into the frame, beside identical ones"},
      {"Ctrl+D", "Duplicate", "copies of the selected figures beside them"},
      {"", "Paste Into Frames", "the clipboard's figures into the following stored frames"},
      {"Click", "Select a figure", "by its line, circle or handle"},
      {"Ctrl+click", "Add to selection", "select a further figure, or take one out"},
      {"Drag on empty area", "Select several", "the figures whose root lies in the band"},
      {"Shift+click", "Select frames", "thumbnails from the one clicked last; the thumbnail menu acts on them"},
      {"Alt+R", "Options", "the animation's size"},
      {"F1", "Keyboard Shortcuts", "this list"},
      {"Ctrl+K", "Show Onion Skin", "stored frames faintly under the working frame, on or off"},
      {"Ctrl+Shift+K", "Onion Skin", "how many frames before and after show"},
      {"Ctrl++, Ctrl+=", "Zoom In", "show the drawing larger, up to 800 %"},
      {"Ctrl+-", "Zoom Out", "show the drawing smaller, down to 10 %"},
      {"Ctrl+0", "Actual Size", "one screen pixel for each pixel of the animation"},
      {"", "Fit to Window", "the whole drawing in view"},
      {"Alt+W", "View menu", ""},
      {"Alt+G", "Go menu", ""},
      {"Alt+I", "File menu", ""},
      {"Alt+H", "Help menu", ""},
  };
  return rows;
}

const THotkeyRow& MainHotkey(const QString& Hint) {
  for (const THotkeyRow& row : MainHotkeys())
    if (row.Hint == Hint) return row;
  throw std::logic_error("no hotkey row for " + Hint.toStdString());
}
