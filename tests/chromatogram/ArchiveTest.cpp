#include "chromatogram/Archive.h"
#include "chromatogram/OleDateTime.h"
#include "chromatogram/TextCodec.h"

#include "ByteBuilder.h"

#include <gtest/gtest.h>

using namespace dgaws;
using dgaws::test::ByteBuilder;

namespace {

std::string storedText(const std::string& s)
{
    Archive ar = Archive::forStoring();
    std::string copy = s;
    ar.ioText(copy);
    return ar.takeBytes();
}

std::string loadedText(std::string bytes)
{
    Archive ar = Archive::forLoading(std::move(bytes));
    std::string s;
    ar.ioText(s);
    EXPECT_EQ(ar.remaining(), 0u);
    return s;
}

}  // namespace

TEST(TextPrefix, LengthsChooseOneThreeOrSevenBytePrefixes)
{
    struct Case {
        size_t length;
        std::string prefix;
    };
    const Case cases[] = {
        {0, std::string("\x00", 1)},
        {254, "\xFE"},
        {255, std::string("\xFF\xFF\x00", 3)},
        {65533, "\xFF\xFD\xFF"},
        {65534, std::string("\xFF\xFF\xFF\xFE\xFF\x00\x00", 7)},
        {70000, std::string("\xFF\xFF\xFF\x70\x11\x01\x00", 7)},
    };
    for (const Case& c : cases) {
        const std::string s(c.length, 'x');
        const std::string stored = storedText(s);
        ASSERT_EQ(stored.size(), c.prefix.size() + c.length) << c.length;
        EXPECT_EQ(stored.substr(0, c.prefix.size()), c.prefix) << c.length;
        EXPECT_EQ(loadedText(stored), s) << c.length;
    }
}

TEST(TextCodec, GbkOnDiskUtf8InMemoryAndGarbageDecodesSafely)
{
    EXPECT_EQ(utf8ToGbk("H2(氢气)"), "H2(\xC7\xE2\xC6\xF8)");
    EXPECT_EQ(utf8ToGbk("温度[℃]"), "\xCE\xC2\xB6\xC8[\xA1\xE6]");
    const char* texts[] = {"溶剂峰(拖尾峰)(T)", "－AB通道默认方法",
                           "出厂序号等同于取样日期+序号，格式如“2013062301”"};
    for (const char* t : texts) {
        const std::string stored = storedText(t);
        EXPECT_EQ(loadedText(stored), t);
        EXPECT_EQ(stored.substr(1), utf8ToGbk(t));
        EXPECT_LT(stored.size(), std::string(t).size() + 1) << "GBK is shorter than UTF-8";
    }
    // Characters outside GBK survive; garbage decodes safely.
    const std::string emoji = "样品😀";
    EXPECT_EQ(gbkToUtf8(utf8ToGbk(emoji)), emoji);
    EXPECT_EQ(gbkToUtf8("\x80"), "€");  // code page 936 has the euro at 0x80
    // A lone lead byte and an invalid pair: replacement characters, never an exception.
    EXPECT_EQ(gbkToUtf8("a\xC7"), "a\xEF\xBF\xBD");
    EXPECT_EQ(gbkToUtf8("\xFF\xFF"
                        "b"),
              "\xEF\xBF\xBD\xEF\xBF\xBD"
              "b");
}

TEST(ArchiveCounts, ImpossibleLengthsAndCountsAreRefusedBeforeAnyRead)
{
    // Longer than the rest in each prefix width, a prefix cut short, nothing at all.
    for (const std::string& bytes :
         {std::string("\005abc"), std::string("\xFF\x10\047abc"),
          std::string("\xFF\xFF\xFF\xFF\xFF\xFF\x7F"), std::string("\xFF\x01"), std::string()})
        EXPECT_THROW(loadedText(bytes), ArchiveError) << bytes.size();
    Archive huge = Archive::forLoading(ByteBuilder().i32(0x7FFFFFFF).i32(1).bytes);
    EXPECT_THROW(huge.ioCount(0, 8), ArchiveError);
    Archive negative = Archive::forLoading(ByteBuilder().i32(-1).bytes);
    EXPECT_THROW(negative.ioCount(0, 1), ArchiveError);
    // Exactly as many entries as the rest can hold is fine; one byte fewer is not.
    Archive fits = Archive::forLoading(ByteBuilder().i32(2).f64(1).f64(2).bytes);
    EXPECT_EQ(fits.ioCount(0, 8), 2);
    Archive shortByOne = Archive::forLoading(ByteBuilder().i32(2).f64(1).i32(0).bytes);
    EXPECT_THROW(shortByOne.ioCount(0, 8), ArchiveError);
}

TEST(OleDateTime, DayCountsFromTheEndOf1899)
{
    EXPECT_DOUBLE_EQ(OleDateTime::fromCivil(1899, 12, 30).date, 0.0);
    EXPECT_DOUBLE_EQ(OleDateTime::fromCivil(2013, 6, 23, 12, 0, 0).date, 41448.5);
    EXPECT_EQ(OleDateTime::fromCivil(2013, 6, 23, 8, 5, 9).format("%Y-%m-%d %H:%M:%S"),
              "2013-06-23 08:05:09");
    EXPECT_EQ(OleDateTime::fromCivil(1850, 3, 1, 23, 59, 59).format("%Y-%m-%d %H:%M:%S"),
              "1850-03-01 23:59:59");
    OleDateTime invalid{OleDateTime::Null, 41448.5};
    EXPECT_EQ(invalid.format("%Y"), "");
    OleDateTime absurd{OleDateTime::Valid, 1e300};
    EXPECT_EQ(absurd.format("%Y"), "");
}
