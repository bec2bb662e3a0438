#pragma once
// A small seeded generator whose sequence is the same on every platform and library
// (std distributions are not), so a seed always yields the same synthetic data.

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace zelvor::sim {

class Rng {
 public:
  explicit Rng(std::uint64_t seed) : state_(seed) {}

  // SplitMix64.
  std::uint64_t Next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
  }

  // Uniform in [0, n); n > 0.
  std::size_t Below(std::size_t n) { return static_cast<std::size_t>(Next() % n); }
  // Uniform in [lo, hi].
  int Between(int lo, int hi) {
    return lo + static_cast<int>(Below(static_cast<std::size_t>(hi - lo + 1)));
  }
  bool Percent(int p) { return Below(100) < static_cast<std::size_t>(p); }

  template <class T>
  const T& Pick(const std::vector<T>& items) {
    return items[Below(items.size())];
  }
  template <class T, std::size_t N>
  const T& Pick(const T (&items)[N]) {
    return items[Below(N)];
  }

 private:
  std::uint64_t state_;
};

// A stable hash of a text, for values derived from a key rather than drawn in sequence.
inline std::uint64_t StableHash(std::uint64_t seed, std::string_view text) {
  std::uint64_t h = 1469598103934665603ULL ^ seed;
  for (unsigned char c : text) {
    h ^= c;
    h *= 1099511628211ULL;
  }
  return Rng(h).Next();
}

}  // namespace zelvor::sim
