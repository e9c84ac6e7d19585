// Working memory for the sort family's stable sorts, which fall back to an
// in-place sort when it cannot be had.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <new>
#include <utility>

#include <kxutils96/platform/win32/win_memory.h>

namespace kxu::sort {

// Uninitialised room for `count` objects of T, or none (Get() is null) when
// it cannot be allocated or would be larger than an object may be. Objects placed there are raw
// bytes: nothing is constructed or destroyed. Room of 2 MiB or more comes
// straight from the system's virtual memory, which backs it with large pages
// where it can: a sort's first pass over fresh room then takes a page fault
// per 2 MiB, not per 4 KiB. Less comes from the heap.
template <class T>
class Scratch {
 public:
  explicit Scratch(std::size_t count)
      : m_nBytes(BytesFor(count)), m_p(static_cast<T*>(Allocate(m_nBytes))) {}
  Scratch(const Scratch&) = delete;
  Scratch& operator=(const Scratch&) = delete;
  ~Scratch() {
    if (!FromSystem(m_nBytes)) {
      ::operator delete(m_p);
    } else if (m_p != nullptr) {
      VirtualFree(m_p, 0, MEM_RELEASE);
    }
  }
  T* Get() const { return m_p; }

 private:
  // The bytes of `count` objects; more than any object may have when they
  // would not fit in a size.
  static std::size_t BytesFor(std::size_t count) {
    return count <= SIZE_MAX / sizeof(T) ? count * sizeof(T) : SIZE_MAX;
  }

  static bool FromSystem(std::size_t nBytes) { return nBytes >= (std::size_t{1} << 21); }

  static void* Allocate(std::size_t nBytes) {
    if (nBytes > static_cast<std::size_t>(PTRDIFF_MAX)) return nullptr;
    if (FromSystem(nBytes))
      return VirtualAlloc(nullptr, nBytes, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    return ::operator new(nBytes, std::nothrow);
  }

  std::size_t m_nBytes;
  T* m_p;
};

// Rearranges the `n` objects at `data` by a permutation of 0 to n - 1,
// moving them as raw bytes through `room`, which holds n objects:
// `fromTo(i)`, called once for each i in turn, gives the position an object
// comes from and the one it goes to.
template <class T, class FromTo>
void MoveThroughRoom(T* data, std::size_t n, T* room, FromTo fromTo) {
  auto* bytes = reinterpret_cast<unsigned char*>(data);
  auto* roomBytes = reinterpret_cast<unsigned char*>(room);
  for (std::size_t i = 0; i < n; ++i) {
    const auto [from, to] = fromTo(i);
    std::memcpy(roomBytes + static_cast<std::size_t>(to) * sizeof(T),
                bytes + static_cast<std::size_t>(from) * sizeof(T), sizeof(T));
  }
  std::memcpy(bytes, roomBytes, n * sizeof(T));
}

// Object i becomes the one that stood at position positionAt(i).
template <class T, class PositionAt>
void MoveIntoOrder(T* data, std::size_t n, PositionAt positionAt, T* room) {
  MoveThroughRoom(data, n, room, [&](std::size_t i) { return std::pair(positionAt(i), i); });
}

// The object at position i moves to position placeOf(i), called once for
// each i in turn.
template <class T, class PlaceOf>
void MoveToPlaces(T* data, std::size_t n, PlaceOf placeOf, T* room) {
  MoveThroughRoom(data, n, room, [&](std::size_t i) { return std::pair(i, placeOf(i)); });
}

}  // namespace kxu::sort
