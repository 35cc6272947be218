#include "chromatogram/FieldArchive.h"
#include "cli/RecordJson.h"

#include <gtest/gtest.h>

#include <cstring>

namespace probe {

// A record made as every stored one is: its struct, then its fields in stored order.
struct Sample {
    int count = 1;
    std::string label = "a";
    double added = 0.0;  // the field this test adds
};

template <class V> void visitFields(V& v, dgaws::Record<Sample>)
{
    v.field("count", &Sample::count);
    v.field("added", &Sample::added, dgaws::kCalculation);
    v.field("label", &Sample::label);
}

}  // namespace probe

using namespace dgaws;

TEST(RecordFields, AFieldAddedToTheListIsStoredShownComparedAndCopied)
{
    probe::Sample s;
    s.added = 2.5;
    s.label = "b";

    Archive out = Archive::forStoring();
    ioRecord(out, s, FormatVersion::kCurrent);
    const std::string bytes = out.takeBytes();
    ASSERT_EQ(bytes.size(), 4u + 8u + 2u) << "stored where the list puts it";
    double stored = 0.0;
    std::memcpy(&stored, bytes.data() + 4, 8);
    EXPECT_EQ(stored, 2.5);
    Archive in = Archive::forLoading(bytes);
    probe::Sample back;
    ioRecord(in, back, FormatVersion::kCurrent);
    EXPECT_EQ(back.added, 2.5);
    EXPECT_EQ(back.label, "b");

    EXPECT_EQ(cli::toJson(s).dump(), R"({"count":1,"label":"b","added":2.5})")
        << "shown in the order the struct declares";

    EXPECT_TRUE(fieldsEqual(s, back));
    back.added = 3.0;
    EXPECT_FALSE(fieldsEqual(s, back));

    probe::Sample calculated;
    copyFields(s, calculated, kCalculation);
    EXPECT_EQ(calculated.added, 2.5);
    EXPECT_EQ(calculated.label, "a") << "only fields tagged for calculation are taken over";
}
