// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// In-between frames: frames that lead from one stored frame to the next.

#include "model/Easing.h"
#include "model/FiguresUnit.h"

// In-between I of Count (1 to Count) from frame From to frame To. A figure
// is matched with the figure at the same place in To when both are of the
// same type: its root and scale move linearly, every segment turns the
// shorter way round and each colour channel changes linearly (rounded), by
// the share Eased(Easing, I / (Count + 1)). A figure without a match stays
// as it is in From.
TFigures InBetween(const TFigures& From, const TFigures& To, int I, int Count, TEasing Easing = TEasing::Linear);
