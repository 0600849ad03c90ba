#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace velkor {

// Overwrites memory in a way the compiler may not drop.
void SecureZero(void* data, std::size_t size);

// Frees memory only after wiping it, so that no key byte is left behind in
// the heap when a buffer grows, is copied or goes away.
template <typename T>
struct WipingAllocator {
    using value_type = T;

    WipingAllocator() = default;
    template <typename U>
    explicit WipingAllocator(const WipingAllocator<U>& /*other*/) {}

    T* allocate(std::size_t count) { return std::allocator<T>{}.allocate(count); }
    void deallocate(T* data, std::size_t count) {
        SecureZero(data, count * sizeof(T));
        std::allocator<T>{}.deallocate(data, count);
    }

    friend bool operator==(const WipingAllocator& /*a*/, const WipingAllocator& /*b*/) {
        return true;
    }
};

// Key text, key-file blocks and everything else derived from a key that does
// not have a fixed size: the one type for such bytes.
using SecretBytes = std::vector<std::uint8_t, WipingAllocator<std::uint8_t>>;

}  // namespace velkor
