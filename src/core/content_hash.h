#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace mossleaf {

// A 64-bit hash of a byte stream that comes out the same however the stream is cut into
// pieces. Fast enough to follow a save of many megabytes; it tells files apart, it is no
// protection against someone who wants two files to look alike.
class ContentHash {
public:
    void feed(std::string_view bytes);
    std::uint64_t value() const;
    std::uint64_t size() const { return size_; }

private:
    static constexpr std::size_t kBlock = 32;
    void mixBlock(const char* block);

    std::array<std::uint64_t, 4> lanes_{0x243F6A8885A308D3ULL, 0x13198A2E03707344ULL,
                                        0xA4093822299F31D0ULL, 0x082EFA98EC4E6C89ULL};
    std::array<char, kBlock> pending_{};
    std::size_t pendingSize_ = 0;
    std::uint64_t size_ = 0;
};

}  // namespace mossleaf
