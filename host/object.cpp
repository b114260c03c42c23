#include <cstdlib>
#include <new>

#include "host/zt_globals.h"
#include "host/zt_object.h"

void* ZD_AllocateMemory(std::size_t size) {
  void* p = std::malloc(size ? size : 1);
  if (!p) throw std::bad_alloc();
  return p;
}

void ZD_ReleaseMemory(void* p) noexcept { std::free(p); }

void* ZT_Object::operator new(std::size_t size) { return ZD_AllocateMemory(size); }
void ZT_Object::operator delete(void* p) noexcept { ZD_ReleaseMemory(p); }

ZT_Counted::ZT_Counted() : stamp_(ZARNIK.next_change_stamp()) {}
ZT_Counted::ZT_Counted(const ZT_Counted&) : ZT_Object(), stamp_(ZARNIK.next_change_stamp()) {}
ZT_Counted::~ZT_Counted() = default;
void ZT_Counted::touch() noexcept { stamp_ = ZARNIK.next_change_stamp(); }
