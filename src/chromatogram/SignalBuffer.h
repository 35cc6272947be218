#pragma once

#include <cstddef>
#include <vector>

namespace dgaws {

// Detector samples of one chromatogram, in microvolts.
class SignalBuffer {
public:
    static constexpr int kGrowStep = 24000;

    int count() const { return static_cast<int>(data_.size()); }
    bool allocated() const { return allocated_; }

    // n < 1 releases the storage; otherwise keeps existing values and zero-fills new ones.
    void resize(int n);
    // Room for `count` + kGrowStep samples, as acquisition asks when it runs out.
    void grow() { resize(count() + kGrowStep); }

    // -1.0 outside the valid samples, as callers rely on.
    float at(int i) const;
    // Ignores an index outside the valid samples.
    void set(int i, float v);

    size_t byteSize() const { return data_.size() * sizeof(float); }

    // a <- a - b sample by sample; false (and nothing changed) when the lengths differ.
    bool subtract(const SignalBuffer& b);
    // As subtract, also reporting the minimum of the result.
    bool subtract(const SignalBuffer& b, float& minimum);

    const float* data() const { return data_.data(); }
    float* data() { return data_.data(); }
    const std::vector<float>& values() const { return data_; }
    void assign(std::vector<float> v);

    bool operator==(const SignalBuffer& o) const { return data_ == o.data_; }

private:
    std::vector<float> data_;
    bool allocated_ = false;
};

}  // namespace dgaws
