#pragma once

#include "FormatVersion.h"

#include <algorithm>
#include <array>
#include <iterator>
#include <type_traits>
#include <vector>

namespace dgaws {

class Archive;

// Every stored record lists its fields once, in stored order, beside its struct:
//
//     template <class V> void visitFields(V& v, Record<R>);
//
// The archive's reader and writer, the command line's JSON, equality and the copies below
// are walks of that list by different visitors, so a field added there is stored, shown,
// compared and copied without another edit. A visitor offers:
//
//   format()                   the format whose layout is walked: a file's own while it is
//                              loaded, the current one otherwise, so `if (v.format() >= ...)`
//                              keeps older layouts exact while every other walk sees it all
//   field(name, &R::m, tags)   an ordinary field
//   custom(name, &R::m, form)  a field whose stored form `form` says (a number kept as an
//                              int in older formats, say); any other walk takes it as a field
//   mark(value)                an int stored between fields; gives back the value read
//                              (`value` itself when not loading) for the list to branch on
//   older(load, arg)           reads a part of an older layout; only loading gets there

// Names a record to choose its field list.
template <class R> struct Record {};

// What a field serves beyond being stored.
struct FieldTags {
    // Taken over from a library method when a chromatogram is calculated with it.
    bool calculation = false;
    // The sample's own information, which a chromatogram keeps when it takes the rest of
    // a library method.
    bool sample = false;

    constexpr bool any() const { return calculation || sample; }
    constexpr bool shares(FieldTags o) const
    {
        return (calculation && o.calculation) || (sample && o.sample);
    }
    // A friend, so that it hides no other operator| from code in this namespace.
    friend constexpr FieldTags operator|(FieldTags a, FieldTags b)
    {
        return {a.calculation || b.calculation, a.sample || b.sample};
    }
};
inline constexpr FieldTags kCalculation{.calculation = true};
inline constexpr FieldTags kSample{.sample = true};

// A stored form the field list cannot say by itself: stores or loads `value`, laid out as
// `format` has it.
template <class T> using StoredForm = void (*)(Archive& ar, T& value, int format);
// Loads a part of an older layout into the record.
template <class R> using OlderForm = void (*)(Archive& ar, R& record, int arg);
// The mark a record is stored with; given no record, the newest mark.
template <class R> using MarkOf = int (*)(const R* record);

template <class R>
concept Described = requires(int& anyVisitor)
{
    visitFields(anyVisitor, Record<R>{});
};

namespace fields {

template <class T> inline constexpr bool kIsStdArray = false;
template <class T, size_t N> inline constexpr bool kIsStdArray<std::array<T, N>> = true;

template <class T> inline constexpr bool kIsVector = false;
template <class T> inline constexpr bool kIsVector<std::vector<T>> = true;

// Every walk but a loading archive's sees the current layout whole.
struct CurrentLayout {
    static int format() { return FormatVersion::kCurrent; }
    static int mark(int value) { return value; }
    template <class R> static int mark(MarkOf<R> valueOf) { return valueOf(nullptr); }
    template <class R> static void older(OlderForm<R>, int) {}
};

template <class R> struct Equal : CurrentLayout {
    const R& a;
    const R& b;
    bool equal = true;

    template <class T> void field(const char*, T R::*m, FieldTags = {})
    {
        // The format a record was read in is where it came from, not what it holds.
        if constexpr (std::is_array_v<T>)
            equal = equal && std::equal(std::begin(a.*m), std::end(a.*m), std::begin(b.*m));
        else if constexpr (!std::is_same_v<T, FormatVersion>)
            equal = equal && a.*m == b.*m;
    }
    template <class T> void custom(const char* name, T R::*m, StoredForm<T>) { field(name, m); }
};

template <class R> struct Copy : CurrentLayout {
    const R& from;
    R& to;
    FieldTags only;

    template <class T> void field(const char*, T R::*m, FieldTags tags = {})
    {
        if (only.any() && !only.shares(tags))
            return;
        if constexpr (std::is_array_v<T>)
            std::copy(std::begin(from.*m), std::end(from.*m), std::begin(to.*m));
        else
            to.*m = from.*m;
    }
    template <class T> void custom(const char* name, T R::*m, StoredForm<T>) { field(name, m); }
};

}  // namespace fields

// Every listed field equal.
template <Described R> bool fieldsEqual(const R& a, const R& b)
{
    fields::Equal<R> v{{}, a, b};
    visitFields(v, Record<R>{});
    return v.equal;
}

// Copies the listed fields that share a tag with `only`; all of them when it has none.
template <Described R> void copyFields(const R& from, R& to, FieldTags only = {})
{
    fields::Copy<R> v{{}, from, to, only};
    visitFields(v, Record<R>{});
}

}  // namespace dgaws
