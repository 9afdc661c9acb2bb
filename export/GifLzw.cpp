// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/GifLzw.h"

#include <algorithm>
#include <cstring>

#include "files/FileError.h"

namespace {

constexpr int MaxCodes = 4096;
constexpr int MaxBits = 12;

// Collects codes into bytes and bytes into counted sub-blocks.
class TCodeWriter {
 public:
  explicit TCodeWriter(QByteArray& Out) : Out(Out) {}

  void Put(unsigned Code, int Width) {
    Bits |= static_cast<uint64_t>(Code) << Count;
    Count += Width;
    while (Count >= 8) {
      Block[Used++] = static_cast<uint8_t>(Bits);
      Bits >>= 8;
      Count -= 8;
      if (Used == 255) FlushBlock();
    }
  }

  void Finish() {
    if (Count > 0) {
      Block[Used++] = static_cast<uint8_t>(Bits);
      Bits = 0;
      Count = 0;
      if (Used == 255) FlushBlock();
    }
    FlushBlock();
    Out.append('\0');
  }

 private:
  void FlushBlock() {
    if (Used == 0) return;
    Out.append(static_cast<char>(Used));
    Out.append(reinterpret_cast<const char*>(Block), Used);
    Used = 0;
  }

  QByteArray& Out;
  uint64_t Bits = 0;
  int Count = 0;
  uint8_t Block[255];
  int Used = 0;
};

[[noreturn]] void ColorNotInTable() { throw EFileError("Color not in color table"); }

}  // namespace

TGifLzwEncoder::TGifLzwEncoder() : Children(static_cast<std::size_t>(MaxCodes) * 256, 0) { Filled.reserve(MaxCodes); }

// The codes of one picture as they are written: the clear and end codes,
// the next free code and the width of codes now.
struct TGifLzwEncoder::TCodes {
  TCodes(QByteArray& Out, int MinCodeSize)
      : Writer(Out), MinCodeSize(MinCodeSize), Clear(1u << MinCodeSize), Next(Clear + 2), Width(MinCodeSize + 1) {}
  // The decoder widens its codes as soon as the next free code needs
  // another bit (it learns each new code one code later than the encoder).
  void Put(unsigned Code) {
    Writer.Put(Code, Width);
    if (Next >= (1u << Width) && Width < MaxBits) ++Width;
  }
  // After a clear code: the first free code and the narrowest codes again.
  void Restart() {
    Next = Clear + 2;
    Width = MinCodeSize + 1;
  }
  TCodeWriter Writer;
  int MinCodeSize;
  unsigned Clear, Next;
  int Width;
};

void TGifLzwEncoder::ClearTable() {
  for (uint32_t slot : Filled) Children[slot] = 0;
  Filled.clear();
  for (std::vector<uint16_t>& runs : Runs) runs.clear();
}

void TGifLzwEncoder::TableFull(TCodes& Codes) {
  if (!KeepFullTable) {
    Codes.Put(Codes.Clear);
    ClearTable();
    Codes.Restart();
  }
  Full = true;
}

bool TGifLzwEncoder::Follow(TString& String, unsigned Value, int MinCodeSize) const {
  if (static_cast<int>(Value) == String.RunValue) {
    const std::vector<uint16_t>& runs = Runs[Value];
    if (String.RunLength > static_cast<int>(runs.size())) return false;
    String.Prefix = runs[String.RunLength - 1];
    ++String.RunLength;
    return true;
  }
  const uint16_t child = Children[(String.Prefix << MinCodeSize) | Value];
  if (child == 0) return false;
  String.Prefix = child;
  String.RunValue = -1;
  return true;
}

// Inline: both encoders end a string every few pixels; only a full table
// (once in some four thousand codes) leaves their loops.
inline TGifLzwEncoder::TString TGifLzwEncoder::EndString(TCodes& Codes, TString String, unsigned Pixel) {
  Codes.Put(String.Prefix);
  if (Codes.Next >= MaxCodes - 1) {
    TableFull(Codes);
  } else if (static_cast<int>(Pixel) == String.RunValue) {
    Runs[Pixel].push_back(static_cast<uint16_t>(Codes.Next++));
  } else {
    const uint32_t slot = (String.Prefix << Codes.MinCodeSize) | Pixel;
    Children[slot] = static_cast<uint16_t>(Codes.Next++);
    Filled.push_back(slot);
  }
  return {Pixel, static_cast<int>(Pixel), 1};
}

void TGifLzwEncoder::Encode(const uint8_t* Pixels, int Width, int Height, int Stride, int MinCodeSize, int Limit,
                            QByteArray& Out) {
  Out.append(static_cast<char>(MinCodeSize));
  Full = false;
  TCodes codes(Out, MinCodeSize);
  ClearTable();
  codes.Put(codes.Clear);
  const unsigned limit = static_cast<unsigned>(Limit);
  const bool any = Width > 0 && Height > 0;
  // The first pixel starts the first string; the loop goes on from the second.
  if (any && Pixels[0] >= limit) ColorNotInTable();
  TString string{any ? Pixels[0] : 0u, any ? static_cast<int>(Pixels[0]) : -1, 1};
  for (int y = 0; y < Height; ++y) {
    const uint8_t* row = Pixels + static_cast<std::ptrdiff_t>(y) * Stride;
    int x = y == 0 ? 1 : 0;
    while (x < Width) {
      const unsigned pixel = row[x];
      if (pixel >= limit) ColorNotInTable();
      if (static_cast<int>(pixel) == string.RunValue) {
        // While the string is one value repeated (a run), the codes of
        // longer runs of that value come from Runs instead of a look-up per
        // pixel: flat areas and transparent pixels cost little.
        const std::vector<uint16_t>& runs = Runs[pixel];
        const int known = static_cast<int>(runs.size()) + 1;  // the longest run of this value with a code
        if (string.RunLength < known) {
          const int most = std::min(known - string.RunLength, Width - x);
          int ahead = 1;
          while (ahead < most && row[x + ahead] == pixel) ++ahead;
          string.RunLength += ahead;
          string.Prefix = runs[string.RunLength - 2];
          x += ahead;
          continue;
        }
      } else if (const uint16_t child = Children[(string.Prefix << MinCodeSize) | pixel]; child != 0) {
        // Pixels lie below 2^MinCodeSize, so slots of a small table stay close together.
        string.Prefix = child;
        string.RunValue = -1;
        ++x;
        continue;
      }
      string = EndString(codes, string, pixel);
      ++x;
    }
  }
  if (any) codes.Put(string.Prefix);
  codes.Put(codes.Clear + 1);
  codes.Writer.Finish();
}

void TGifLzwEncoder::EncodeEither(const uint8_t* Pixels, const uint8_t* Others, int Width, int Height, int Stride,
                                  int MinCodeSize, int Limit, QByteArray& Out) {
  Out.append(static_cast<char>(MinCodeSize));
  Full = false;
  TCodes codes(Out, MinCodeSize);
  ClearTable();
  codes.Put(codes.Clear);
  const unsigned limit = static_cast<unsigned>(Limit);
  TString string;
  bool started = false;
  for (int y = 0; y < Height; ++y) {
    const uint8_t* row = Pixels + static_cast<std::ptrdiff_t>(y) * Stride;
    const uint8_t* other = Others + static_cast<std::ptrdiff_t>(y) * Stride;
    int x = 0;
    while (x < Width) {
      const unsigned pixel = row[x];
      const unsigned alternative = other[x];
      if (pixel >= limit || alternative >= limit) ColorNotInTable();
      if (!started) {
        string = {pixel, static_cast<int>(pixel), 1};
        started = true;
      } else if (static_cast<int>(pixel) == string.RunValue &&
                 string.RunLength <= static_cast<int>(Runs[pixel].size())) {
        // As in Encode, a run goes on as far as the table knows it in one step.
        const int most = std::min(static_cast<int>(Runs[pixel].size()) + 1 - string.RunLength, Width - x);
        int ahead = 1;
        while (ahead < most && row[x + ahead] == pixel) ++ahead;
        string.RunLength += ahead;
        string.Prefix = Runs[pixel][string.RunLength - 2];
        x += ahead;
        continue;
      } else if (!Follow(string, pixel, MinCodeSize) &&
                 (alternative == pixel || !Follow(string, alternative, MinCodeSize))) {
        string = EndString(codes, string, pixel);
      }
      ++x;
    }
  }
  if (started) codes.Put(string.Prefix);
  codes.Put(codes.Clear + 1);
  codes.Writer.Finish();
}
