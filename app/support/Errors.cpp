#include "app/support/Errors.h"

void ThrowInvalidArgument(const std::string& what) { throw CInvalidArgument(what); }
