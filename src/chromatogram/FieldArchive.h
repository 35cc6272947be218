#pragma once

#include "Archive.h"
#include "FormatVersion.h"
#include "OleDateTime.h"
#include "PeakTable.h"
#include "RecordFields.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <type_traits>
#include <vector>

namespace dgaws {

// The archive's walk of the field lists: stores every field of the current layout, or
// loads a record as the format in force lays it out.

template <class T> void ioValue(Archive& ar, T& value, int format);

template <class T> size_t minStoredBytes(int format);

namespace fields {

template <class R> class Stored {
public:
    Stored(Archive& ar, R& record, int format) : ar_(ar), record_(record), format_(format) {}

    int format() const { return format_; }

    template <class T> void field(const char*, T R::*m, FieldTags = {})
    {
        ioValue(ar_, record_.*m, format_);
    }
    template <class T> void custom(const char*, T R::*m, StoredForm<T> io)
    {
        io(ar_, record_.*m, format_);
    }
    int mark(int value)
    {
        int32_t m = value;
        ar_.io(m);
        return m;
    }
    // A mark whose stored value depends on what the record holds.
    int mark(MarkOf<R> valueOf) { return mark(valueOf(&record_)); }
    void older(OlderForm<R> load, int arg) { load(ar_, record_, arg); }

private:
    Archive& ar_;
    R& record_;
    int format_;
};

// Adds up the smallest stored size of a record's fields; a mark is walked as the oldest
// layout it selects, the shortest.
template <class R> struct Smallest {
    int fmt;
    size_t bytes = 0;

    int format() const { return fmt; }
    template <class T> void field(const char*, T R::*, FieldTags = {})
    {
        bytes += minStoredBytes<T>(fmt);
    }
    int mark(int)
    {
        bytes += 4;
        return 0;
    }
    int mark(MarkOf<R>) { return mark(0); }
    void older(OlderForm<R>, int) {}
};

}  // namespace fields

// Stores or loads one record through its field list.
template <Described R> void ioRecord(Archive& ar, R& record, int format)
{
    fields::Stored<R> v(ar, record, ar.isStoring() ? FormatVersion::kCurrent : format);
    visitFields(v, Record<R>{});
}

template <class T> void ioValue(Archive& ar, T& value, int format)
{
    if constexpr (std::is_same_v<T, std::string>) {
        ar.ioText(value);
    } else if constexpr (std::is_same_v<T, bool>) {
        // A flag is stored as the int it always was; any non-zero reads as set.
        int32_t stored = value ? 1 : 0;
        ar.io(stored);
        value = stored != 0;
    } else if constexpr (std::is_same_v<T, int32_t> || std::is_same_v<T, float> ||
                         std::is_same_v<T, double> || std::is_same_v<T, OleDateTime>) {
        ar.io(value);
    } else if constexpr (std::is_array_v<T> || fields::kIsStdArray<T>) {
        for (auto& e : value)
            ioValue(ar, e, format);
    } else if constexpr (fields::kIsVector<T>) {
        using E = typename T::value_type;
        ioList(ar, value, minStoredBytes<E>(format), [&](E& e) { ioValue(ar, e, format); });
    } else if constexpr (std::is_same_v<T, PeakTable>) {
        ioValue(ar, value.records(), format);
    } else {
        static_assert(Described<T>, "a field of a type the archive cannot store");
        ioRecord(ar, value, format);
    }
}

// The fewest bytes one stored T can take in `format`: what a count is checked against
// before anything is allocated for it.
template <class T> size_t minStoredBytes(int format)
{
    if constexpr (std::is_same_v<T, std::string>) {
        return 1;  // the length byte of an empty text
    } else if constexpr (std::is_same_v<T, int32_t> || std::is_same_v<T, float> ||
                         std::is_same_v<T, bool>) {
        return 4;
    } else if constexpr (std::is_same_v<T, double>) {
        return 8;
    } else if constexpr (std::is_same_v<T, OleDateTime>) {
        return 12;
    } else if constexpr (std::is_array_v<T>) {
        return std::extent_v<T> * minStoredBytes<std::remove_extent_t<T>>(format);
    } else if constexpr (fields::kIsStdArray<T>) {
        return std::tuple_size_v<T> * minStoredBytes<typename T::value_type>(format);
    } else if constexpr (fields::kIsVector<T> || std::is_same_v<T, PeakTable>) {
        return 4;  // the count
    } else if constexpr (requires { T::kMinStoredBytes; }) {
        return T::kMinStoredBytes;
    } else {
        fields::Smallest<T> v{format};
        visitFields(v, Record<T>{});
        return v.bytes;
    }
}

// A whole file's record: stored in the current format, or loaded in the one its first
// three bytes name.
template <Described R> std::string storeRecord(const R& record)
{
    R copy = record;
    Archive ar = Archive::forStoring();
    ioRecord(ar, copy, FormatVersion::kCurrent);
    return ar.takeBytes();
}

template <Described R> R loadRecord(std::string bytes)
{
    Archive ar = Archive::forLoading(std::move(bytes));
    R record;
    ioRecord(ar, record, ar.readFormatNumber());
    return record;
}

}  // namespace dgaws
