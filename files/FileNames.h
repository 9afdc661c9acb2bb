// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The two file-name operations the windows share.

#include <QString>

// Name without its last four characters when the fourth from the end is a
// full stop (a.b.gif gives a.b, x.tvl gives x); otherwise Name unchanged
// (movie.jpeg stays movie.jpeg).
QString RemoveExtention(const QString& Name);

// The part of Path after its last folder separator ('/', and '\\' as well
// on Windows). Without KeepExtension a ".stk" ending (in any letter case) is
// dropped: that is how a figure type file names its type. A name without
// that ending is kept whole.
QString FileName(const QString& Path, bool KeepExtension);

// The name a figure type read from the .stk file at Path takes: the file's
// name without its ending, or the whole file name when nothing would be left
// (".stk"), made what a project file can store (StorableName).
QString FigureTypeNameOf(const QString& Path);
