#pragma once

#include <cstddef>
#include <vector>

namespace dgaws {

// A FIFO that grows by doubling and never shrinks, so that pushing and dropping stay
// constant-time while its length is bounded by a parameter read from a stored method.
// Index 0 is the oldest element.
template <class T> class RingBuffer {
public:
    RingBuffer() : slots_(16) {}

    int size() const { return static_cast<int>(size_); }
    bool empty() const { return size_ == 0; }

    void clear()
    {
        head_ = 0;
        size_ = 0;
    }

    void push(const T& v)
    {
        if (size_ > mask_)
            grow();
        slots_[(head_ + size_) & mask_] = v;
        ++size_;
    }

    // Drops the oldest element; nothing when empty.
    void dropOldest()
    {
        if (size_ == 0)
            return;
        head_ = (head_ + 1) & mask_;
        --size_;
    }

    const T& oldest() const { return (*this)[0]; }
    const T& newest() const { return (*this)[size() - 1]; }

    const T& operator[](int i) const { return slots_[(head_ + static_cast<size_t>(i)) & mask_]; }

private:
    void grow()
    {
        std::vector<T> bigger(slots_.size() * 2);
        for (size_t i = 0; i < size_; ++i)
            bigger[i] = slots_[(head_ + i) & mask_];
        slots_.swap(bigger);
        mask_ = slots_.size() - 1;
        head_ = 0;
    }

    std::vector<T> slots_;  // the capacity, always a power of two
    size_t mask_ = 15;      // the capacity less one, kept for the index arithmetic
    size_t head_ = 0;
    size_t size_ = 0;
};

}  // namespace dgaws
