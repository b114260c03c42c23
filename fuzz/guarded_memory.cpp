#include "fuzz/guarded_memory.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <new>

namespace {
std::size_t page_size() {
  static const std::size_t page = std::size_t(::sysconf(_SC_PAGESIZE));
  return page;
}
}  // namespace

Guarded_Block::Guarded_Block(std::size_t bytes) : size_(bytes) {
  const std::size_t page = page_size();
  const std::size_t inner = (bytes + page - 1) / page * page;
  mapping_bytes_ = inner + 2 * page;
  void* m = ::mmap(nullptr, mapping_bytes_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS,
                   -1, 0);
  if (m == MAP_FAILED) throw std::bad_alloc();
  mapping_ = static_cast<uint8_t*>(m);
  if (::mprotect(mapping_, page, PROT_NONE) != 0 ||
      ::mprotect(mapping_ + page + inner, page, PROT_NONE) != 0)
    std::abort();
  data_ = mapping_ + page + inner - bytes;
  std::memset(mapping_ + page, guard_canary, inner - bytes);
}

Guarded_Block::~Guarded_Block() { ::munmap(mapping_, mapping_bytes_); }

bool Guarded_Block::slack_intact(std::size_t nearest) const {
  const uint8_t* first = mapping_ + page_size();
  if (std::size_t(data_ - first) > nearest) first = data_ - nearest;
  for (const uint8_t* p = first; p < data_; ++p)
    if (*p != guard_canary) return false;
  return true;
}
