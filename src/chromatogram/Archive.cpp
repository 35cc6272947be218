#include "Archive.h"

#include "TextCodec.h"

#include <bit>
#include <cstring>

static_assert(std::endian::native == std::endian::little,
              "stored files are little-endian; a big-endian build needs byte swapping here");

namespace dgaws {

Archive Archive::forStoring()
{
    Archive ar(false);
    ar.buf_.reserve(4096);
    return ar;
}

Archive Archive::forLoading(std::string bytes)
{
    Archive ar(true);
    ar.buf_ = std::move(bytes);
    return ar;
}

void Archive::require(size_t n, const char* what) const
{
    if (n > remaining())
        throw ArchiveError(std::string("unexpected end of file while reading ") + what +
                           " at byte " + std::to_string(pos_));
}

template <class T> void Archive::rawValue(T& v)
{
    if (loading_) {
        require(sizeof(T), "a number");
        std::memcpy(&v, buf_.data() + pos_, sizeof(T));
        pos_ += sizeof(T);
    } else {
        buf_.append(reinterpret_cast<const char*>(&v), sizeof(T));
    }
}

void Archive::io(int32_t& v)
{
    rawValue(v);
}
void Archive::io(float& v)
{
    rawValue(v);
}
void Archive::io(double& v)
{
    rawValue(v);
}

void Archive::ioIntAsDouble(double& v)
{
    int32_t i = static_cast<int32_t>(v);
    io(i);
    v = i;
}

void Archive::io(OleDateTime& v)
{
    int32_t status = v.status;
    io(status);
    io(v.date);
    v.status = status;
}

void Archive::ioTag(FormatVersion& v)
{
    if (loading_) {
        require(3, "a format tag");
        v = FormatVersion::fromTag(std::string_view(buf_.data() + pos_, 3));
        pos_ += 3;
    } else {
        buf_.append(v.tag, 3);
    }
}

void Archive::ioText(std::string& utf8)
{
    if (!loading_) {
        const std::string raw = utf8ToGbk(utf8);
        const size_t len = raw.size();
        if (len < 255) {
            buf_.push_back(static_cast<char>(len));
        } else if (len < 0xFFFE) {
            buf_.push_back('\xFF');
            uint16_t l16 = static_cast<uint16_t>(len);
            buf_.append(reinterpret_cast<const char*>(&l16), 2);
        } else {
            if (len > 0x7FFFFFFF)
                throw ArchiveError("text too long to store");
            buf_.push_back('\xFF');
            buf_.append("\xFF\xFF", 2);
            uint32_t l32 = static_cast<uint32_t>(len);
            buf_.append(reinterpret_cast<const char*>(&l32), 4);
        }
        buf_.append(raw);
        return;
    }
    require(1, "a text length");
    size_t len = static_cast<unsigned char>(buf_[pos_++]);
    if (len == 0xFF) {
        uint16_t l16;
        require(2, "a text length");
        std::memcpy(&l16, buf_.data() + pos_, 2);
        pos_ += 2;
        len = l16;
        if (l16 == 0xFFFF) {
            uint32_t l32;
            require(4, "a text length");
            std::memcpy(&l32, buf_.data() + pos_, 4);
            pos_ += 4;
            len = l32;
        }
    }
    if (len > remaining())
        throw ArchiveError("impossible text length " + std::to_string(len) + " at byte " +
                           std::to_string(pos_));
    utf8 = gbkToUtf8(std::string_view(buf_.data() + pos_, len));
    pos_ += len;
}

int32_t Archive::ioCount(size_t current, size_t minEntryBytes)
{
    if (!loading_) {
        if (current > 0x7FFFFFFF)
            throw ArchiveError("too many entries to store");
        int32_t n = static_cast<int32_t>(current);
        io(n);
        return n;
    }
    int32_t n = 0;
    io(n);
    if (n < 0)
        throw ArchiveError("negative count " + std::to_string(n) + " at byte " +
                           std::to_string(pos_ - 4));
    const size_t need = static_cast<size_t>(n) * (minEntryBytes == 0 ? 1 : minEntryBytes);
    if (minEntryBytes > 0 && need > remaining())
        throw ArchiveError("count " + std::to_string(n) + " at byte " + std::to_string(pos_ - 4) +
                           " exceeds the rest of the file");
    // Entries of no stored size (never the case today) still must not exhaust memory.
    if (minEntryBytes == 0 && static_cast<size_t>(n) > remaining() + 1024)
        throw ArchiveError("implausible count " + std::to_string(n));
    return n;
}

void Archive::writeRaw(const void* data, size_t n)
{
    buf_.append(static_cast<const char*>(data), n);
}

void Archive::readRaw(void* data, size_t n)
{
    require(n, "raw data");
    // An empty signal reads into an empty vector, whose data() may be null: memcpy forbids it.
    if (n == 0)
        return;
    std::memcpy(data, buf_.data() + pos_, n);
    pos_ += n;
}

int Archive::readFormatNumber() const
{
    return FormatVersion::numberFromTag(
        std::string_view(buf_.data(), buf_.size() < 3 ? buf_.size() : 3));
}

}  // namespace dgaws
