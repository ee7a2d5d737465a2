#include "core/content_hash.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace mossleaf {

namespace {

constexpr std::uint64_t kPrime1 = 0x9E3779B185EBCA87ULL;
constexpr std::uint64_t kPrime2 = 0xC2B2AE3D27D4EB4FULL;

std::uint64_t word(const char* at) {
    std::uint64_t w = 0;
    std::memcpy(&w, at, sizeof w);
    return w;
}

std::uint64_t mix(std::uint64_t lane, std::uint64_t w) {
    return std::rotl(lane + w * kPrime2, 31) * kPrime1;
}

std::uint64_t finish(std::uint64_t h) {
    h ^= h >> 33;
    h *= kPrime2;
    h ^= h >> 29;
    h *= kPrime1;
    return h ^ (h >> 32);
}

}  // namespace

void ContentHash::mixBlock(const char* block) {
    // Four lanes that do not wait for each other.
    for (std::size_t i = 0; i < lanes_.size(); ++i) {
        lanes_[i] = mix(lanes_[i], word(block + 8 * i));
    }
}

void ContentHash::feed(std::string_view bytes) {
    size_ += bytes.size();
    if (pendingSize_ > 0) {
        const std::size_t take = std::min(kBlock - pendingSize_, bytes.size());
        std::memcpy(pending_.data() + pendingSize_, bytes.data(), take);
        pendingSize_ += take;
        bytes.remove_prefix(take);
        if (pendingSize_ < kBlock) {
            return;
        }
        mixBlock(pending_.data());
        pendingSize_ = 0;
    }
    while (bytes.size() >= kBlock) {
        mixBlock(bytes.data());
        bytes.remove_prefix(kBlock);
    }
    std::memcpy(pending_.data(), bytes.data(), bytes.size());
    pendingSize_ = bytes.size();
}

std::uint64_t ContentHash::value() const {
    std::uint64_t h = size_ * kPrime1;
    for (const std::uint64_t lane : lanes_) {
        h = mix(h, lane);
    }
    for (std::size_t i = 0; i < pendingSize_; ++i) {
        h = mix(h, static_cast<unsigned char>(pending_[i]));
    }
    return finish(h);
}

}  // namespace mossleaf
