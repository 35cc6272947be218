#include "CollectorFrame.h"

namespace dgaws {

CollectorFrame decodeFrame(const std::array<uint8_t, 4>& bytes)
{
    const uint8_t h = bytes[0];
    CollectorFrame f;
    f.channel = (h & 0xB0) == 0x90 ? 1 : 0;
    f.startSignal = (h & 0x08) != 0;
    f.coarse = (h & 0x04) != 0;
    f.negative = (h & 0x01) != 0;
    f.magnitude = (bytes[1] & 0x7F) * 16384 + (bytes[2] & 0x7F) * 128 + (bytes[3] & 0x7F);
    const double factor = f.coarse ? kCoarseMicrovoltsPerCount : kFineMicrovoltsPerCount;
    const double v = f.magnitude * factor;
    f.microvolts = static_cast<float>(f.negative ? -v : v);
    return f;
}

}  // namespace dgaws
