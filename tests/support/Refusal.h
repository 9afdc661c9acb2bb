// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The sentence a reader or decoder refuses its input with, or Accepted when
// it takes the input.

#include <string>

#include "files/FileError.h"

template <class Call>
std::string RefusalOf(Call&& Read, const std::string& Accepted = "accepted") {
  try {
    Read();
  } catch (const EFileError& e) {
    return e.what();
  }
  return Accepted;
}
