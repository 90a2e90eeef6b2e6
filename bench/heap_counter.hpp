// The heap of a benchmark program, counted: the global operator new and delete are replaced so that
// `held` is the bytes held now and `peak` the most held since it was last set. Include it in one
// source file of a benchmark program only.
#pragma once

#include <malloc.h>

#include <atomic>
#include <cstddef>
#include <cstdlib>
#include <new>

namespace {

std::atomic<std::size_t> held{0};
std::atomic<std::size_t> peak{0};

void* counted(std::size_t size)
{
    void* block = std::malloc(size == 0 ? 1 : size);
    if (block == nullptr) throw std::bad_alloc();
    const std::size_t now = held += malloc_usable_size(block);
    for (std::size_t seen = peak; now > seen && !peak.compare_exchange_weak(seen, now);) {}
    return block;
}

void uncounted(void* block) noexcept
{
    if (block == nullptr) return;
    held -= malloc_usable_size(block);
    std::free(block);
}

}  // namespace

void* operator new(std::size_t size) { return counted(size); }
void* operator new[](std::size_t size) { return counted(size); }
void operator delete(void* block) noexcept { uncounted(block); }
void operator delete[](void* block) noexcept { uncounted(block); }
void operator delete(void* block, std::size_t) noexcept { uncounted(block); }
void operator delete[](void* block, std::size_t) noexcept { uncounted(block); }
