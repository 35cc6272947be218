#include "SignalBuffer.h"

#include <algorithm>
#include <limits>

namespace dgaws {

void SignalBuffer::resize(int n)
{
    if (n < 1) {
        std::vector<float>().swap(data_);
        allocated_ = false;
        return;
    }
    data_.resize(static_cast<size_t>(n), 0.0f);
    allocated_ = true;
}

float SignalBuffer::at(int i) const
{
    if (!allocated_ || i < 0 || i >= count())
        return -1.0f;
    return data_[static_cast<size_t>(i)];
}

void SignalBuffer::set(int i, float v)
{
    if (i >= 0 && i < count())
        data_[static_cast<size_t>(i)] = v;
}

bool SignalBuffer::subtract(const SignalBuffer& b)
{
    float ignored;
    return subtract(b, ignored);
}

bool SignalBuffer::subtract(const SignalBuffer& b, float& minimum)
{
    if (b.count() != count())
        return false;
    float m = std::numeric_limits<float>::max();
    for (size_t i = 0; i < data_.size(); ++i) {
        data_[i] -= b.data_[i];
        m = std::min(m, data_[i]);
    }
    minimum = data_.empty() ? 0.0f : m;
    return true;
}

void SignalBuffer::assign(std::vector<float> v)
{
    data_ = std::move(v);
    allocated_ = !data_.empty();
}

}  // namespace dgaws
