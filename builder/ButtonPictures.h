// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The pictures of the builder's six tool buttons, 27 x 27 pixels in a few of
// the sixteen standard colours on a transparent ground.

#include <QPixmap>

enum class TButtonPicture { AddLine, AddCircle, ChangeKind, Duplicate, ChangeStatic, Delete };

constexpr int ButtonPictureSize = 27;

QPixmap MakeButtonPicture(TButtonPicture Which);
