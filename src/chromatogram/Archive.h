#pragma once

#include "FormatVersion.h"
#include "OleDateTime.h"

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace dgaws {

// Raised for every damaged or impossible input; the command boundary turns it into a message.
class ArchiveError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// One serialiser for both directions, so a record's stored layout is written down once and
// reading can never drift from writing. Loading works on the whole file held in memory:
// every count and length is checked against the bytes that remain, so a hostile file can
// neither read out of bounds nor make us allocate more than the file could hold.
class Archive {
public:
    static Archive forStoring();
    static Archive forLoading(std::string bytes);

    bool isLoading() const { return loading_; }
    bool isStoring() const { return !loading_; }

    void io(int32_t& v);
    void io(float& v);
    void io(double& v);
    void ioText(std::string& utf8);
    void io(OleDateTime& v);
    void ioTag(FormatVersion& v);

    // An int stored on disk but kept as a double in memory (older layouts).
    void ioIntAsDouble(double& v);

    // A count before `entries` of at least `minEntryBytes` each; on loading it is refused
    // when negative or when that many entries cannot fit in the rest of the input.
    int32_t ioCount(size_t current, size_t minEntryBytes);

    // Raw bytes, used for the sample block.
    void writeRaw(const void* data, size_t n);
    void readRaw(void* data, size_t n);

    // Three tag bytes at the very start of the input, without consuming anything.
    int readFormatNumber() const;

    size_t position() const { return pos_; }
    size_t remaining() const { return buf_.size() - pos_; }
    const std::string& bytes() const { return buf_; }
    std::string takeBytes() { return std::move(buf_); }

    // Throws ArchiveError unless `n` more bytes are available.
    void require(size_t n, const char* what) const;

private:
    explicit Archive(bool loading) : loading_(loading) {}

    template <class T> void rawValue(T& v);

    bool loading_;
    std::string buf_;
    size_t pos_ = 0;
};

// A list stored as an int count followed by the entries.
template <class T, class EntryFn>
void ioList(Archive& ar, std::vector<T>& list, size_t minEntryBytes, EntryFn&& entry)
{
    const int32_t n = ar.ioCount(list.size(), minEntryBytes);
    if (ar.isLoading()) {
        list.clear();
        list.resize(static_cast<size_t>(n));
    }
    for (T& e : list)
        entry(e);
}

}  // namespace dgaws
