// Transfer times of one pass in fixed buckets: exact below 64 µs, then 32 buckets per
// doubling, so a quantile is off by at most 1/32 of itself and a transfer costs one increment,
// never an allocation.
#pragma once

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>

namespace zarvo {

class tLatencyHistogram {
  public:
    void Clear() {
        m_Counts.fill(0);
        m_Total = 0;
        m_Maximum = 0;
    }

    void Add(std::uint64_t micros) {
        ++m_Counts[Bucket(std::min(micros, kLargest))];
        ++m_Total;
        m_Maximum = std::max(m_Maximum, micros);
    }

    std::uint64_t Count() const { return m_Total; }
    std::uint64_t Maximum() const { return m_Maximum; }

    // The smallest time at least the fraction Q of the transfers took no longer than (the top
    // of its bucket, never above the maximum); 0 when nothing was added.
    std::uint64_t Quantile(double q) const {
        if (m_Total == 0)
            return 0;
        auto rank = std::uint64_t(q * double(m_Total) + 0.999999);
        rank = std::clamp<std::uint64_t>(rank, 1, m_Total);
        std::uint64_t seen = 0;
        for (std::size_t bucket = 0; bucket < kBuckets; ++bucket) {
            seen += m_Counts[bucket];
            if (seen >= rank)
                return std::min(TopOf(bucket), m_Maximum);
        }
        return m_Maximum;
    }

    static constexpr std::size_t Bucket(std::uint64_t micros) {
        if (micros < kExact)
            return std::size_t(micros);
        int shift = std::bit_width(micros) - kSubBits - 1;
        return kExact + std::size_t(shift - 1) * kSub + std::size_t((micros >> shift) - kSub);
    }
    static constexpr std::uint64_t TopOf(std::size_t bucket) {
        if (bucket < kExact)
            return bucket;
        std::size_t shift = (bucket - kExact) / kSub + 1;
        std::uint64_t sub = kSub + (bucket - kExact) % kSub;
        return ((sub + 1) << shift) - 1;
    }

  private:
    static constexpr int kSubBits = 5;
    static constexpr std::uint64_t kSub = 1u << kSubBits;
    static constexpr std::uint64_t kExact = 2 * kSub;
    // About 12 days: longer than any call the test waits for.
    static constexpr int kLargestBits = 40;
    static constexpr std::uint64_t kLargest = (std::uint64_t(1) << kLargestBits) - 1;
    static constexpr std::size_t kBuckets = kExact + (kLargestBits - kSubBits - 1) * kSub;

    std::array<std::uint32_t, kBuckets> m_Counts{};
    std::uint64_t m_Total = 0;
    std::uint64_t m_Maximum = 0;
};

} // namespace zarvo
