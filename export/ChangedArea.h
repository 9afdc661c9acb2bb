// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The part of a frame that differs from the frame before: the GIF export
// searches its 8-bit index rows, the animated PNG its 32-bit pixel rows.

#include <QRect>
#include <cstddef>
#include <cstdint>

// The smallest rectangle holding every pixel where Now and Was differ (rows
// NowStride and WasStride pixels apart); empty when they are equal. Rows are
// compared whole first, then eight pixels at a time from either end.
template <class TPixel>
QRect ChangedArea(const TPixel* Now, std::ptrdiff_t NowStride, const TPixel* Was, std::ptrdiff_t WasStride, int Width,
                  int Height);

extern template QRect ChangedArea<uint8_t>(const uint8_t*, std::ptrdiff_t, const uint8_t*, std::ptrdiff_t, int, int);
extern template QRect ChangedArea<uint32_t>(const uint32_t*, std::ptrdiff_t, const uint32_t*, std::ptrdiff_t, int, int);
