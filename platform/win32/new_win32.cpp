// The program's own operator new. The C++ runtime's is built without frame
// pointers, so on 32-bit Windows the call chain of an "Out of memory" report
// (which follows frame pointers) skipped the function that asked for the
// memory. This one keeps its frame; it fails as the standard one does, by
// calling the new-handler, which never returns here.
#include "platform/operator_new.h"

void *TakeMemory(std::size_t size) { return std::malloc(size); }
