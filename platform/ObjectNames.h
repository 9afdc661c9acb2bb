// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Controls whose names in the code say what they are keep the names they had
// in the first design as their object names, so a search for an old name
// (in notes, screenshots of a widget inspector, older scripts) still finds them.

#include <QObject>
#include <initializer_list>
#include <utility>

inline void KeepDesignNames(std::initializer_list<std::pair<QObject*, const char*>> Names) {
  for (const auto& [object, name] : Names) object->setObjectName(QLatin1String(name));
}
