// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/GifRuns.h"

#include <cstring>

namespace {

// Changes of value in data order, the first value counting as one.
std::size_t ValueChanges(const uint8_t* Values, std::size_t Count) {
  std::size_t n = Count > 0 ? 1 : 0;
  for (std::size_t k = 1; k < Count; ++k) n += Values[k] != Values[k - 1];
  return n;
}

// The same for the plain area: Chosen where it shows a colour, else Other.
std::size_t PlainChanges(const uint8_t* Chosen, const uint8_t* Other, std::size_t Count, uint8_t T) {
  std::size_t n = 0;
  int last = -1;
  for (std::size_t k = 0; k < Count; ++k) {
    const int value = Chosen[k] != T ? Chosen[k] : Other[k];
    n += value != last;
    last = value;
  }
  return n;
}

// The stretch of unchanged pixels being gathered: where it starts in the
// area, and whether its pixels are all of one colour so far. Other holds
// their colours until the stretch ends.
class TStretch {
 public:
  TStretch(uint8_t* Chosen, uint8_t* Other, uint8_t T) : Chosen(Chosen), Other(Other), T(T) {}

  // Pixel I, of colour Value, is unchanged: it starts a stretch or goes on with one.
  void Gather(std::size_t I, uint8_t Value) {
    if (Open) return;
    Open = true;
    One = true;
    Start = I;
    Color = Value;
  }
  void Saw(bool OneColor) { One = One && OneColor; }
  uint8_t Colour() const { return Color; }
  // The stretch ends before pixel End: it keeps its colour or turns transparent.
  void Close(std::size_t End) {
    if (!Open) return;
    const std::size_t length = End - Start;
    if (One && length <= static_cast<std::size_t>(LongestKeptStretch)) {
      std::memcpy(Chosen + Start, Other + Start, length);
      std::memset(Other + Start, T, length);
    } else {
      std::memset(Chosen + Start, T, length);
    }
    Unchanged += length;
    Open = false;
  }
  std::size_t Unchanged = 0;

 private:
  uint8_t* Chosen;
  uint8_t* Other;
  uint8_t T;
  std::size_t Start = 0;
  bool Open = false, One = true;
  uint8_t Color = 0;
};

}  // namespace

TTransparencyChoice ChooseTransparency(const uint8_t* Now, const uint8_t* Before, int Stride, int Width, int Height,
                                       uint8_t T, std::vector<uint8_t>& Chosen, std::vector<uint8_t>& Other) {
  const std::size_t count = static_cast<std::size_t>(Width) * Height;
  Chosen.resize(count);
  Other.resize(count);
  uint8_t* chosen = Chosen.data();
  uint8_t* other = Other.data();
  TStretch stretch(chosen, other, T);
  std::size_t i = 0;
  for (int y = 0; y < Height; ++y) {
    const uint8_t* now = Now + static_cast<std::ptrdiff_t>(y) * Stride;
    const uint8_t* was = Before + static_cast<std::ptrdiff_t>(y) * Stride;
    int x = 0;
    while (x < Width) {
      // Eight unchanged pixels at once: most of a changed area is unchanged.
      if (x + 8 <= Width) {
        uint64_t a, b;
        std::memcpy(&a, now + x, 8);
        std::memcpy(&b, was + x, 8);
        if (a == b) {
          stretch.Gather(i, now[x]);
          stretch.Saw(a == stretch.Colour() * 0x0101010101010101ull);
          std::memcpy(other + i, now + x, 8);
          x += 8;
          i += 8;
          continue;
        }
      }
      const uint8_t value = now[x];
      if (value != was[x]) {
        stretch.Close(i);
        chosen[i] = other[i] = value;
      } else {
        stretch.Gather(i, value);
        stretch.Saw(value == stretch.Colour());
        other[i] = value;
      }
      ++x;
      ++i;
    }
  }
  stretch.Close(count);
  return {stretch.Unchanged, PlainChanges(chosen, other, count, T), ValueChanges(chosen, count)};
}
