// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The 216-colour cube every exported frame is reduced to: six levels per
// channel (0, 51, ..., 255), index 36 * r + 6 * g + b. Each pixel is mapped on
// its own, without error diffusion, so the reduction is one table look-up per
// channel.

#include <array>
#include <cstdint>

constexpr int CubeColors = 216;

// Level (0..5) of a channel value: (V + 3) div 51, so 47 gives 0 and 48 gives 1.
constexpr int CubeLevel(int V) { return (V + 3) / 51; }

// Red, green and blue of cube entry K.
constexpr int CubeRed(int K) { return 51 * (K / 36); }
constexpr int CubeGreen(int K) { return 51 * (K / 6 % 6); }
constexpr int CubeBlue(int K) { return 51 * (K % 6); }

// Per-channel look-up tables whose sum is the cube index of a pixel.
struct TCubeTables {
  std::array<uint8_t, 256> Red{}, Green{}, Blue{};
  constexpr TCubeTables() {
    for (int v = 0; v < 256; ++v) {
      Red[v] = static_cast<uint8_t>(36 * CubeLevel(v));
      Green[v] = static_cast<uint8_t>(6 * CubeLevel(v));
      Blue[v] = static_cast<uint8_t>(CubeLevel(v));
    }
  }
};
inline constexpr TCubeTables CubeTables{};

// Cube index of a 0xAARRGGBB pixel.
inline uint8_t CubeIndex(uint32_t Pixel) {
  return static_cast<uint8_t>(CubeTables.Red[(Pixel >> 16) & 0xFF] + CubeTables.Green[(Pixel >> 8) & 0xFF] +
                              CubeTables.Blue[Pixel & 0xFF]);
}
