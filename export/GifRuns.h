// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The smaller GIF's choice, pixel by pixel, between a changed area's colour
// indices and the transparent index.

#include <cstdint>
#include <vector>

// Pixels where Merged holds the transparent index T may show either T or
// their colour (in Now, rows Stride apart); the others must show their
// colour. Writes to Out the choice with the fewest changes of value in data
// order (the longest runs), by dynamic programming over the two choices of
// each pixel; on a tie the transparent index, which continues across frames
// of different colours, is kept.
void FewestRuns(const uint8_t* Merged, const uint8_t* Now, int Stride, int Width, int Height, uint8_t T,
                std::vector<uint8_t>& Out);
