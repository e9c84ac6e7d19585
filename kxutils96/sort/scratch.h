// Working memory for the sort family's stable sorts, which fall back to an
// in-place sort when it cannot be had.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <new>

namespace kxu::sort {

// Uninitialised room for `count` objects of T, or none (Get() is null) when
// it cannot be allocated or would be larger than an object may be. Objects placed there are raw
// bytes: nothing is constructed or destroyed.
template <class T>
class Scratch {
 public:
  explicit Scratch(std::size_t count)
      : m_p(count <= static_cast<std::size_t>(PTRDIFF_MAX) / sizeof(T)
                ? static_cast<T*>(::operator new(count * sizeof(T), std::nothrow))
                : nullptr) {}
  Scratch(const Scratch&) = delete;
  Scratch& operator=(const Scratch&) = delete;
  ~Scratch() { ::operator delete(m_p); }
  T* Get() const { return m_p; }

 private:
  T* m_p;
};

// Rearranges the `n` objects at `data` so that object i becomes the one that
// stood at position positionAt(i) (a permutation of 0 to n - 1), moving
// them as raw bytes through `room`, which holds n objects.
template <class T, class PositionAt>
void MoveIntoOrder(T* data, std::size_t n, PositionAt positionAt, T* room) {
  auto* bytes = reinterpret_cast<unsigned char*>(data);
  auto* roomBytes = reinterpret_cast<unsigned char*>(room);
  for (std::size_t i = 0; i < n; ++i) {
    const auto from = static_cast<std::size_t>(positionAt(i));
    std::memcpy(roomBytes + i * sizeof(T), bytes + from * sizeof(T), sizeof(T));
  }
  std::memcpy(bytes, roomBytes, n * sizeof(T));
}

}  // namespace kxu::sort
