#pragma once

// Builds stored files byte by byte, independently of the serialisers under test, so that
// the layouts of older formats are checked against what those formats hold.
#include <cstdint>
#include <cstring>
#include <string>

namespace dgaws::test {

class ByteBuilder {
public:
    ByteBuilder& tag(const char* three)
    {
        bytes.append(three, 3);
        return *this;
    }
    ByteBuilder& i32(int32_t v) { return raw(&v, 4); }
    ByteBuilder& f32(float v) { return raw(&v, 4); }
    ByteBuilder& f64(double v) { return raw(&v, 8); }
    // Text already in its stored encoding, with the short one-byte prefix.
    ByteBuilder& text(const std::string& stored)
    {
        bytes.push_back(static_cast<char>(stored.size()));
        bytes += stored;
        return *this;
    }
    ByteBuilder& date(int32_t status, double d) { return i32(status).f64(d); }
    ByteBuilder& raw(const void* p, size_t n)
    {
        bytes.append(static_cast<const char*>(p), n);
        return *this;
    }

    std::string bytes;
};

}  // namespace dgaws::test
