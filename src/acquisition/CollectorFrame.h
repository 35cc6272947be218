#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace dgaws {

// The collector's wire format: one header byte and three data bytes of seven bits each.
namespace collector_byte {
inline bool isData(uint8_t b)
{
    return b < 0x80;
}
inline bool isHeader(uint8_t b)
{
    return b >= 0x80 && b < 0xC0;
}
inline bool isIgnored(uint8_t b)
{
    return b >= 0xC0 && b < 0xE0;
}
inline bool isReady(uint8_t b)
{
    return b >= 0xE0;
}
}  // namespace collector_byte

inline constexpr double kFineMicrovoltsPerCount = 0.074505841496;
inline constexpr double kCoarseMicrovoltsPerCount = 1.192093463942;

// What one complete frame carries.
struct CollectorFrame {
    int channel = 0;  // 0 = A, 1 = B
    bool startSignal = false;
    bool coarse = false;
    bool negative = false;
    int32_t magnitude = 0;  // 21 bits
    float microvolts = 0.0f;

    bool operator==(const CollectorFrame&) const = default;
};

// Only the header pattern x0 01 xxxx selects channel B; the other three combinations of
// bits 5 and 4 are A, as the card has always sent them.
CollectorFrame decodeFrame(const std::array<uint8_t, 4>& bytes);

// The received bytes not yet parsed. Writing the byte that would make the write index meet
// the read index leaves the ring looking empty: everything unread is lost. Parsing after
// every byte keeps the ring at most one byte deep, so that never happens in practice.
class ByteRing {
public:
    static constexpr size_t kSize = 4096;

    void push(uint8_t b)
    {
        bytes_[write_] = b;
        write_ = (write_ + 1) % kSize;
    }
    bool pop(uint8_t& b)
    {
        if (read_ == write_)
            return false;
        b = bytes_[read_];
        read_ = (read_ + 1) % kSize;
        return true;
    }
    size_t size() const { return (write_ + kSize - read_) % kSize; }
    void clear() { read_ = write_ = 0; }

private:
    std::array<uint8_t, kSize> bytes_{};
    size_t read_ = 0;
    size_t write_ = 0;
};

}  // namespace dgaws
