// The program's own operator new. The C++ runtime's is built without frame
// pointers, so on 32-bit Windows the call chain of an "Out of memory" report
// (which follows frame pointers) skipped the function that asked for the
// memory. This one keeps its frame; it fails as the standard one does, by
// calling the new-handler, which never returns here.
#include <cstdlib>
#include <new>

[[gnu::noinline]] void *operator new(std::size_t size) {
    if (size == 0) size = 1;
    for (;;) {
        void *block = std::malloc(size);
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
