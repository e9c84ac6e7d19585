// glibc tells a block's usable size with malloc_usable_size.
#include "support/allocated_size.h"

#include <malloc.h>

namespace kxu::test {

std::size_t AllocatedSize(void* pBlock) {
  return ::malloc_usable_size(pBlock);
}

}  // namespace kxu::test
