#include "tests/support/heap_counter.h"

#include <cstdlib>
#include <new>

std::atomic<long> heap_allocations{0};

namespace {
[[gnu::noinline]] void* counted_allocate(std::size_t n) {
  ++heap_allocations;
  if (void* p = std::malloc(n ? n : 1)) return p;
  throw std::bad_alloc();
}
[[gnu::noinline]] void counted_release(void* p) noexcept {
  std::free(p);
}
}  // namespace

void* operator new(std::size_t n) {
  return counted_allocate(n);
}
void* operator new[](std::size_t n) {
  return counted_allocate(n);
}
// The forms that return null on failure, so that every allocation the
// replaced deletes release comes from counted_allocate.
void* operator new(std::size_t n, const std::nothrow_t&) noexcept {
  try {
    return counted_allocate(n);
  } catch (...) {
    return nullptr;
  }
}
void* operator new[](std::size_t n, const std::nothrow_t& t) noexcept {
  return operator new(n, t);
}
void operator delete(void* p, const std::nothrow_t&) noexcept {
  counted_release(p);
}
void operator delete[](void* p, const std::nothrow_t&) noexcept {
  counted_release(p);
}
void operator delete(void* p) noexcept {
  counted_release(p);
}
void operator delete[](void* p) noexcept {
  counted_release(p);
}
void operator delete(void* p, std::size_t) noexcept {
  counted_release(p);
}
void operator delete[](void* p, std::size_t) noexcept {
  counted_release(p);
}
