#include "support/ByteWriter.h"

namespace lapforge {

void CByteWriter::Grow(size_t n) {
  const size_t need = size_ + n, doubled = 2 * buf_.size();
  buf_.resize(need > doubled ? need : (doubled < 256 ? 256 : doubled));
}

}  // namespace lapforge
