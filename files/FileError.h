// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Errors of files and decoders. what() is the sentence the general error
// report shows; the command that met the error ends there.

#include <stdexcept>

class EFileError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};
