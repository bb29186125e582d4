// The program's operator new and delete, defined once for the platforms that
// replace the C++ runtime's: operator new asks TakeMemory (malloc, or the
// simulated machine's allocator that can be made to fail) and, while it gets
// nothing, lets the new-handler act, as the standard one does. Included by
// exactly one source file of a program.
#pragma once

#include <cstdlib>
#include <new>

void *TakeMemory(std::size_t size);

[[gnu::noinline]] void *operator new(std::size_t size) {
    if (size == 0) size = 1;
    for (;;) {
        void *block = TakeMemory(size);
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
