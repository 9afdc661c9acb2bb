// SPDX-License-Identifier: GPL-3.0-or-later
// The recovery file readers: a project's or a figure type's recovery file
// (the kind byte after the magic and the format byte decides which is
// tried) is read or refused with a message. Budgets as in the project
// target.

#include <cstddef>
#include <cstdint>

#include "files/RecoveryFile.h"
#include "files/StkFile.h"
#include "model/Pictures.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  static const bool ready = [] {
    FailPicturesFrom(qint64(1) << 20);
    return true;
  }();
  (void)ready;
  const QByteArray bytes(reinterpret_cast<const char*>(Data), static_cast<qsizetype>(Size));
  try {
    if (Size > 9 && Data[9] == 2) {
      const TRecoveredType type = ParseTypeRecovery(bytes);
      (void)ReadStkFile(type.StkFile);
    } else {
      const TRecoveredProject project = ParseProjectRecovery(bytes, 4096, 64 << 20, 16 << 20);
      (void)project.Edit.WorkingFrame.Count();
    }
  } catch (const EFileError&) {
  } catch (const EPictureMemory&) {
  }
  return 0;
}
