// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The smaller GIF's choice, pixel by pixel, between a changed area's colour
// indices and the transparent index.

#include <cstddef>
#include <cstdint>
#include <vector>

// The longest stretch of unchanged pixels of one colour that keeps its
// colour: a longer one turns transparent, whose runs the compressor has
// learnt from every part of the frame.
constexpr int LongestKeptStretch = 64;

struct TTransparencyChoice {
  std::size_t Unchanged = 0;      // pixels free to turn transparent
  std::size_t PlainChanges = 0;   // changes of value in data order in the area as it is ...
  std::size_t ChosenChanges = 0;  // ... and as chosen
};

// A pixel equal in Now and Before (rows Stride apart in both) may show
// either its colour or the transparent index T; a changed one must show its
// colour. Writes to Chosen, for the Width x Height area, the value each pixel
// starts with, and to Other the value it may take instead (equal to Chosen
// where there is no choice); returns the number of unchanged pixels and
// how often the value changes before and after the choice, which tells
// roughly which of the two compresses better.
// Unchanged pixels come in stretches in data order (through the ends of
// rows) between changed ones. A stretch of one colour, at most
// LongestKeptStretch long, keeps that colour: within a line that moved, or
// between the edges of two lines, it continues the colours around it. Any
// other stretch turns transparent: its colours would be as many strings to
// write, where transparent pixels are one run.
TTransparencyChoice ChooseTransparency(const uint8_t* Now, const uint8_t* Before, int Stride, int Width, int Height,
                                       uint8_t T, std::vector<uint8_t>& Chosen, std::vector<uint8_t>& Other);
