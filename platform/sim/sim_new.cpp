// Replaces operator new in test programs that simulate running out of memory:
// an armed failure makes the allocation fail the way the real one does, by
// calling the installed new-handler.
#include <cstdlib>
#include <new>

#include "platform/sim/sim.h"

void *operator new(std::size_t size) {
    if (size == 0) size = 1;
    for (;;) {
        void *block = sim::TakeAllocationFailure() ? nullptr : std::malloc(size);
        if (block != nullptr) return block;
        std::new_handler handler = std::get_new_handler();
        if (handler == nullptr) throw std::bad_alloc();
        handler();
    }
}

void *operator new[](std::size_t size) { return operator new(size); }
void operator delete(void *block) noexcept { std::free(block); }
void operator delete[](void *block) noexcept { std::free(block); }
void operator delete(void *block, std::size_t) noexcept { std::free(block); }
void operator delete[](void *block, std::size_t) noexcept { std::free(block); }
