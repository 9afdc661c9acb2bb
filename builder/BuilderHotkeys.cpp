// SPDX-License-Identifier: GPL-3.0-or-later
#include "builder/BuilderHotkeys.h"

const QList<THotkeyRow>& BuilderHotkeys() {
  static const QList<THotkeyRow> Rows{
      {"Alt+L", "add line", "click a handle to start it, then where it ends"},
      {"Alt+C", "add circle", "click a handle to start it, then where it ends"},
      {"Alt+T", "toggle segment kind", "the selected segment becomes a circle or a line"},
      {"", "change segment thickness", ""},
      {"Alt+D", "duplicate segment", "a copy of the selected segment, attached at the next handle clicked"},
      {"Alt+W", "static / dynamic segment", "a static segment has no handle in the animation"},
      {"Alt+F", "delete segment", "only one with nothing hanging from it"},
      {"Alt+N", "New", "start a new figure type"},
      {"Alt+O", "Open", "open a Stick Figure File (*.stk)"},
      {"Alt+S", "Save", "save the figure type"},
      {"Alt+G", "Save As", "save the figure type under a new name"},
      {"Alt+A", "Add To Animation", "add the figure type to the main window's type list"},
      {"Alt+E", "Edit Mode", "dragging a handle changes lengths instead of turning the branch"},
  };
  return Rows;
}

const THotkeyRow& BuilderHotkey(const QString& Hint) { return FindHotkeyRow(BuilderHotkeys(), Hint); }
