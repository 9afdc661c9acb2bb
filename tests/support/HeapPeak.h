// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The most heap memory a piece of code holds at once, counted through the
// sanitizers' allocation hooks: every malloc and free of the process, its
// libraries' included. Only builds with AddressSanitizer or
// ThreadSanitizer have them; elsewhere Available() is false.

#include <atomic>
#include <cstddef>

extern "C" {
// NOLINTBEGIN(bugprone-reserved-identifier): the sanitizers' own names
__attribute__((weak)) int __sanitizer_install_malloc_and_free_hooks(void (*Malloc)(const volatile void*, size_t),
                                                                    void (*Free)(const volatile void*));
__attribute__((weak)) size_t __sanitizer_get_allocated_size(const volatile void* Pointer);
// NOLINTEND(bugprone-reserved-identifier)
}

namespace HeapPeak {

inline std::atomic<long long> Held{0};  // since the hooks were installed
inline std::atomic<long long> Peak{0};

inline void OnMalloc(const volatile void*, size_t Size) {
  const long long now = Held.fetch_add(static_cast<long long>(Size)) + static_cast<long long>(Size);
  long long peak = Peak.load();
  while (now > peak && !Peak.compare_exchange_weak(peak, now)) {
  }
}

inline void OnFree(const volatile void* Pointer) {
  Held.fetch_sub(static_cast<long long>(__sanitizer_get_allocated_size(Pointer)));
}

inline bool Available() {
  static const bool Installed = __sanitizer_install_malloc_and_free_hooks != nullptr &&
                                __sanitizer_get_allocated_size != nullptr &&
                                __sanitizer_install_malloc_and_free_hooks(OnMalloc, OnFree) != 0;
  return Installed;
}

// Bytes held at most above those held at the start, while Run runs.
template <typename TRun>
long long Above(TRun&& Run) {
  const long long start = Held.load();
  Peak.store(start);
  Run();
  return Peak.load() - start;
}

}  // namespace HeapPeak
