#include "app/support/Errors.h"

void ThrowInvalidArgument(const std::string& what) { throw CInvalidArgument(what); }

void ThrowIndexOutOfRange(long long index, size_t count, const char* where) {
  ThrowInvalidArgument(std::string(where) + ": index " + std::to_string(index) + " out of range (count " +
                       std::to_string(count) + ")");
}
