// Replaces operator new in test programs that simulate running out of memory:
// an armed failure makes the allocation fail the way the real one does, by
// calling the installed new-handler.
#include "platform/operator_new.h"
#include "platform/sim/sim.h"

void *TakeMemory(std::size_t size) { return sim::TakeAllocationFailure() ? nullptr : std::malloc(size); }
