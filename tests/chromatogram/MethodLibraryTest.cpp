#include "chromatogram/MethodLibrary.h"
#include "chromatogram/FileIO.h"
#include "chromatogram/FileLock.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace dgaws;
using Status = LibraryResult::Status;
using Lines = std::vector<std::string>;

namespace {

const std::string kClash = "方法文件重名!覆盖原方法文件吗?";

MethodLibraryEntry entryNamed(const std::string& name, int visible = 1)
{
    MethodLibraryEntry e;
    e.method.name = name;
    e.method.visible = visible;
    e.method.tester = "tester of " + name;
    e.defaultComponents.resize(1);
    e.curves.resize(1);
    e.curves[0].name = "ADefaultCali";
    return e;
}

void writeMethod(const std::string& path, MethodLibraryEntry e)
{
    e.path = path;
    saveMethodFile(e);
}

class MethodLibraryTest : public ::testing::Test {
protected:
    MethodLibraryTest()
    {
        library.setAsk([this](const std::string& q) {
            questions.push_back(q);
            return answer;
        });
        library.setLog([this](const std::string& line) { logLines.push_back(line); });
    }
    void load() { ASSERT_TRUE(library.loadLibrary(folder.root().string()).empty()); }
    // Methods named after their files, in the library's folder, then loaded.
    void put(std::initializer_list<const char*> names)
    {
        for (const char* n : names)
            writeMethod(folder.path(std::string(n) + ".she"), entryNamed(n));
        load();
    }
    MethodLibraryEntry onDisk(const std::string& name) const
    {
        return loadMethodFile(folder.path(name + ".she"));
    }

    test::TempDir folder;
    MethodLibrary library;
    bool answer = true;
    Lines questions;
    Lines logLines;
};

TEST_F(MethodLibraryTest, LoadsSheFilesByFileNameAndReportsTheUnreadable)
{
    writeMethod(folder.path("b.she"), entryNamed("Beta"));
    writeMethod(folder.path("a.she"), entryNamed("Alpha"));
    std::ofstream(folder.path("c.she")) << "755 damaged";
    writeMethod(folder.path("notes.txt"), entryNamed("NotAMethodFile"));
    fs::create_directory(folder.path("sub.she"));

    auto failures = library.loadLibrary(folder.root().string() + "/");
    ASSERT_EQ(library.size(), 2u);
    EXPECT_EQ(library.at(1).path, folder.path("b.she"));
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_EQ(failures[0].path, folder.path("c.she"));

    failures = library.loadLibrary(folder.path("missing"));
    EXPECT_EQ(library.size(), 0u);
    EXPECT_EQ(failures.size(), 1u);
}

TEST(MethodLabel, SuffixesAndDefaults)
{
    MethodDefaults d;  // QLDefault on both channels
    MethodLibraryEntry e = entryNamed("QLDefault");
    EXPECT_EQ(libraryLabel(e, d), "QLDefault-显示－AB通道默认方法");
    e.method.groupCalc = e.method.impurityCalc = 1;
    e.method.visible = 0;
    d.BDefaultProg = "M";
    EXPECT_EQ(libraryLabel(e, d), "QLDefault-分组-杂质-已隐藏－A通道默认方法");
    ASSERT_TRUE(makeDefaultMethod(d, e, DefaultChannels::B).ok());
    d.ADefaultProg = "M";
    EXPECT_EQ(libraryLabel(e, d), "QLDefault-分组-杂质-已隐藏－B通道默认方法");

    // An unnamed entry is never a default, not even of a channel whose default is empty.
    d.ADefaultProg.clear();
    const LibraryResult r = makeDefaultMethod(d, entryNamed(""), DefaultChannels::AB);
    EXPECT_EQ(r.status, Status::Refused);
    EXPECT_EQ(r.message, "－无方法名，无法设为默认！");
    EXPECT_EQ(d.ADefaultProg, "");
    EXPECT_EQ(libraryLabel(entryNamed(""), d), "-显示");
}

TEST_F(MethodLibraryTest, DefaultChoiceTakesTheFirstNamesakeAndItsCalibrationByName)
{
    MethodLibraryEntry a = entryNamed("QLDefault");
    a.curves.resize(2);
    a.curves[1].name = "BDefaultCali";
    writeMethod(folder.path("a.she"), a);
    writeMethod(folder.path("b.she"), entryNamed("QLDefault"));
    load();
    MethodDefaults d;
    EXPECT_EQ(library.defaultChoice(d, 0), (MethodChoice{0, 0}));
    EXPECT_EQ(library.defaultChoice(d, 1), (MethodChoice{0, 1}));
    d.BDefaultCali = "missing";
    d.ADefaultProg.clear();
    EXPECT_EQ(library.defaultChoice(d, 1), (MethodChoice{0, -1}));
    EXPECT_EQ(library.defaultChoice(d, 0), (MethodChoice{-1, -1}));
}

TEST_F(MethodLibraryTest, NewSavesAndLogsAndATakenNameAsksFirst)
{
    load();
    for (const char* name : {"", "../escape", "a/b"})
        EXPECT_EQ(library.addNew(entryNamed(name)).status, Status::Refused) << name;
    EXPECT_FALSE(fs::exists(folder.root().parent_path() / "escape.she"));
    ASSERT_TRUE(library.addNew(entryNamed("Oil")).ok());
    EXPECT_TRUE(questions.empty());
    EXPECT_EQ(logLines,
              (Lines{"用户保存了一个名为Oil.she的分析方法", "用户新建了一个名为Oil的分析方法"}));

    MethodLibraryEntry again = entryNamed("Oil");
    again.method.tester = "someone else";
    answer = false;
    EXPECT_EQ(library.addNew(again).status, Status::Refused);
    EXPECT_EQ(questions, Lines{kClash});
    EXPECT_EQ(onDisk("Oil").method.tester, "tester of Oil");
    answer = true;
    ASSERT_TRUE(library.addNew(again).ok());
    ASSERT_EQ(library.size(), 1u) << "an overwritten file keeps a single entry";
    EXPECT_EQ(onDisk("Oil").method.tester, "someone else");

    // A file that failed to load is asked about too.
    std::ofstream(folder.path("Bad.she")) << "damaged";
    answer = false;
    EXPECT_EQ(library.addNew(entryNamed("Bad")).status, Status::Refused);
    EXPECT_EQ(questions.size(), 3u);

    fs::remove_all(folder.root());
    logLines.clear();
    const LibraryResult r = library.addNew(entryNamed("Gas"));
    EXPECT_EQ(r.status, Status::Failed);
    EXPECT_NE(r.message.find("Gas.she"), std::string::npos);
    EXPECT_EQ(library.size(), 1u);
    EXPECT_TRUE(logLines.empty());
}

TEST_F(MethodLibraryTest, EditWithANewNameLeavesOnlyTheNewFile)
{
    writeMethod(folder.path("Z.she"), entryNamed("Other"));
    put({"A", "B", "C"});
    MethodLibraryEntry edited = library.at(0);
    // A name another entry holds in a file named otherwise is taken as well.
    edited.method.name = "Other";
    answer = false;
    EXPECT_EQ(library.edit(0, edited).status, Status::Refused);
    EXPECT_TRUE(fs::exists(folder.path("A.she")));
    edited.method.name = "New";
    ASSERT_TRUE(library.edit(0, edited).ok());
    EXPECT_FALSE(fs::exists(folder.path("A.she")));
    EXPECT_EQ(library.at(0).path, folder.path("New.she"));

    // Onto another method's name: asked; Yes replaces it, and the next start sees each once.
    edited = library.at(0);
    edited.method.name = "B";
    answer = false;
    EXPECT_EQ(library.edit(0, edited).status, Status::Refused);
    EXPECT_EQ(onDisk("B").method.tester, "tester of B");
    answer = true;
    ASSERT_TRUE(library.edit(0, edited).ok());
    EXPECT_EQ(questions, (Lines{kClash, kClash, kClash}));
    EXPECT_EQ(library.size(), 3u);
    MethodLibrary next;
    next.loadLibrary(folder.root().string());
    ASSERT_EQ(next.size(), 3u);
    EXPECT_EQ(next.at(0).method.tester, "tester of A");
    EXPECT_EQ(next.at(1).method.name, "C");

    // A save that fails keeps the old file and entry: nothing can replace a folder.
    fs::create_directory(folder.path("D.she"));
    edited = library.at(1);
    edited.method.name = "D";
    EXPECT_EQ(library.edit(1, edited).status, Status::Failed);
    EXPECT_TRUE(fs::is_regular_file(folder.path("C.she")));
    EXPECT_EQ(library.at(1).method.name, "C");
}

TEST_F(MethodLibraryTest, DeleteAndHideAskFirst)
{
    put({"A", "Oil"});
    answer = false;
    EXPECT_EQ(library.remove(0).status, Status::Refused);
    EXPECT_EQ(library.hide(1).status, Status::Refused);
    EXPECT_EQ(questions, (Lines{"您确定要删除该方法文件吗?", "您确定要隐藏方法-Oil吗?"}));
    EXPECT_TRUE(fs::exists(folder.path("A.she")));
    EXPECT_EQ(onDisk("Oil").method.visible, 1);

    answer = true;
    ASSERT_TRUE(library.remove(0).ok());
    ASSERT_TRUE(library.hide(0).ok());
    EXPECT_FALSE(fs::exists(folder.path("A.she")));
    EXPECT_EQ(logLines,
              (Lines{"用户删除了一个名为A的分析方法", "用户保存了一个名为Oil.she的分析方法"}));

    // A hidden method keeps its file; only its label changes.
    MethodLibrary next;
    next.loadLibrary(folder.root().string());
    ASSERT_EQ(next.size(), 1u);
    EXPECT_EQ(libraryLabel(next.at(0), MethodDefaults{}), "Oil-已隐藏");
    MethodLibraryEntry reloaded = next.at(0);
    reloaded.path.clear();
    EXPECT_EQ(reloaded, entryNamed("Oil", 0));
}

TEST_F(MethodLibraryTest, ShowMovesAFileFromElsewhereInWithoutLosingAnything)
{
    test::TempDir elsewhere;
    writeMethod(elsewhere.path("Picked.she"), entryNamed("Picked", 0));
    writeMethod(elsewhere.path("Oil.she"), entryNamed("Oil"));
    writeMethod(elsewhere.path("Title.she"), entryNamed("Inner name"));
    std::ofstream(elsewhere.path("Bad.she")) << "755";
    MethodLibraryEntry resident = entryNamed("Oil");
    resident.method.tester = "resident";
    writeMethod(folder.path("Oil.she"), resident);
    load();

    ASSERT_TRUE(library.show(elsewhere.path("Picked.she")).ok());
    EXPECT_FALSE(fs::exists(elsewhere.path("Picked.she")));
    EXPECT_EQ(onDisk("Picked").method.visible, 1);

    answer = false;
    EXPECT_EQ(library.show(elsewhere.path("Oil.she")).status, Status::Refused);
    EXPECT_EQ(questions, Lines{kClash});
    EXPECT_EQ(onDisk("Oil").method.tester, "resident");
    EXPECT_TRUE(fs::exists(elsewhere.path("Oil.she")));

    EXPECT_EQ(library.show(elsewhere.path("Title.she")).status, Status::Refused)
        << "a file named otherwise than its method is not taken in";
    EXPECT_EQ(library.show(elsewhere.path("Bad.she")).status, Status::Failed);
    for (const char* name : {"Title.she", "Bad.she"}) {
        EXPECT_TRUE(fs::exists(elsewhere.path(name)));
        EXPECT_FALSE(fs::exists(folder.path(name)));
    }
    EXPECT_EQ(library.size(), 2u);

    // One of the folder's own: made visible where it is, without a question.
    answer = true;
    ASSERT_TRUE(library.hide(1).ok());
    questions.clear();
    ASSERT_TRUE(library.show(folder.root().string() + "/./Picked.she").ok());
    EXPECT_TRUE(questions.empty());
    EXPECT_EQ(library.size(), 2u);
    EXPECT_EQ(onDisk("Picked").method.visible, 1);
}

AnalysisMethod methodWithEverythingSet(int seed)
{
    AnalysisMethod m;
    m.name = "method" + std::to_string(seed);
    m.text4 = m.tester = m.serialNo = m.deviceNo = m.name;
    m.quantOption1 = m.quantOption2 = m.calcMethod = m.impurityCalc = m.groupCalc = seed;
    m.groups = {GroupDefinition{seed, "group", 1.0, 2.0}};
    m.ambientPressure = m.ambientTemperature = m.gasVolume = m.oilVolume = seed;
    m.oilValue1 = m.oilValue2 = m.integration.slope = m.timeEnd = seed;
    m.oilOption1 = m.timeProgramEnabled = m.useManualEvents = seed;
    m.timeProgram = {TimeEvent{1.0 * seed, seed, 2.0, 3}};
    m.manualEvents.resize(static_cast<size_t>(seed));
    m.components.resize(1);
    m.components[0].name = m.name;
    return m;
}

TEST_F(MethodLibraryTest, AGivenMethodBringsItsCurvesTableWhateverIsTakenOfIt)
{
    MethodLibraryEntry e = entryNamed("x");
    e.method = methodWithEverythingSet(2);
    e.defaultComponents[0].name = "default table";
    e.curves.resize(2);
    e.curves[1].name = "second";
    e.curves[1].components.resize(1);
    e.curves[1].components[0].name = "curve table";
    writeMethod(folder.path("A.she"), entryNamed("A"));
    writeMethod(folder.path("B.she"), e);
    load();

    // The calculation settings only, oil-test conditions included, but the sample's own device,
    // and the chromatogram is a test sample.
    ChromatogramData data;
    data.method = methodWithEverythingSet(1);
    data.sampleType = 1;
    AnalysisMethod expected = data.method;
    EXPECT_EQ(library.give(data, {1, 1}, MethodTake::Calculation), (MethodChoice{1, 1}));
    const AnalysisMethod& lib = e.method;
    expected.name = lib.name;
    expected.quantOption1 = expected.quantOption2 = expected.calcMethod = 2;
    expected.impurityCalc = expected.groupCalc = 2;
    expected.timeProgramEnabled = true;
    expected.groups = lib.groups;
    expected.oilValue1 = expected.oilValue2 = 2;
    expected.ambientPressure = lib.ambientPressure;
    expected.ambientTemperature = lib.ambientTemperature;
    expected.gasVolume = lib.gasVolume;
    expected.oilVolume = lib.oilVolume;
    expected.timeProgram = lib.timeProgram;
    expected.components = e.curves[1].components;
    EXPECT_EQ(data.method, expected);
    EXPECT_EQ(data.sampleType, 0);
    EXPECT_EQ(data.methodName, "method2");
    EXPECT_EQ(data.calibrationName, "second");
    for (const int none : {-1, 2}) {
        EXPECT_EQ(library.give(data, {1, none}, MethodTake::Calculation), (MethodChoice{1, -1}));
        EXPECT_EQ(data.calibrationName, "");
        EXPECT_EQ(data.method.components, e.defaultComponents);
    }

    // The whole method, with or without the sample information the chromatogram carries.
    data.method = methodWithEverythingSet(1);
    EXPECT_EQ(library.give(data, {1, 1}, MethodTake::Analysis), (MethodChoice{1, 1}));
    EXPECT_EQ(data.method.integration.slope, 2.0);
    EXPECT_EQ(data.method.tester, "method1");
    EXPECT_EQ(data.method.oilVolume, 1.0);
    EXPECT_EQ(data.method.components, e.curves[1].components);
    EXPECT_EQ(library.give(data, {1, 1}, MethodTake::Whole), (MethodChoice{1, 1}));
    expected = lib;
    expected.components = e.curves[1].components;
    EXPECT_EQ(data.method, expected);
    EXPECT_EQ(library.give(data, {0, -1}, MethodTake::Whole), (MethodChoice{0, -1}));
    EXPECT_EQ(data.method, library.at(0).method);
    EXPECT_EQ(data.methodName, "A");

    // A link changes no more than the table, and only to a curve that is there.
    data.method = methodWithEverythingSet(3);
    data.calibrationName = "gone";
    EXPECT_EQ(library.choiceNamed("method2", "second"), (MethodChoice{1, 1}));
    EXPECT_EQ(library.give(data, library.choiceNamed("method2", "gone"), MethodTake::Link),
              (MethodChoice{1, -1}));
    EXPECT_EQ(data.method, methodWithEverythingSet(3));
    EXPECT_EQ(data.calibrationName, "gone");
    EXPECT_EQ(library.give(data, {2, 0}, MethodTake::Whole), MethodChoice{});
    EXPECT_EQ(data.method, methodWithEverythingSet(3));
}

// Two workstations with one shared method folder: each has its own library. The second
// edits a method the first has saved since they both read it; what the operator chooses
// decides, and nothing is ever lost without being asked.
TEST(SharedMethodFolder, ASaveAfterAnotherStationsSaveIsResolvedNeverSilent)
{
    using Choice = ConflictAnswer::Choice;
    struct Case {
        const char* label;
        bool resolver;  // false: nobody to ask, as on the command line
        Choice choice;
        bool rename;           // the second station's edit also renames the method
        Status status;         // of the second station's save
        Lines files;           // the folder afterwards, by name
        const char* onDisk;    // tester in M.she afterwards
        const char* entryM;    // tester of the second station's entry M afterwards
        bool removes = false;  // the second station deletes the method instead
    };
    const Lines one{"M.she"};
    const Case cases[] = {
        {"nobody to ask", false, Choice::Cancel, false, Status::Refused, one, "first",
         "tester of M"},
        {"cancel", true, Choice::Cancel, false, Status::Refused, one, "first", "tester of M"},
        {"reload", true, Choice::Reload, false, Status::Refused, one, "first", "first"},
        {"overwrite", true, Choice::Overwrite, false, Status::Ok, one, "second", "second"},
        {"save as", true, Choice::SaveAs, false, Status::Ok, {"M.she", "M2.she"}, "first", "first"},
        {"rename", true, Choice::Cancel, true, Status::Refused, one, "first", "tester of M"},
        {"delete", false, Choice::Cancel, false, Status::Refused, one, "first", "first", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        test::TempDir folder;
        writeMethod(folder.path("M.she"), entryNamed("M"));
        MethodLibrary first, second;
        first.loadLibrary(folder.root().string());
        second.loadLibrary(folder.root().string());
        second.setAsk([](const std::string&) { return true; });
        Lines asked;
        if (c.resolver)
            second.setResolveConflict([&](const std::string& question) {
                asked.push_back(question);
                return ConflictAnswer{c.choice, "M2"};
            });

        MethodLibraryEntry mine = first.at(0);
        mine.method.tester = "first";
        ASSERT_TRUE(first.edit(0, mine).ok());
        // A station's own saves follow each other without a question, in place too.
        ASSERT_TRUE(first.edit(0, mine).ok());
        first.saveInPlace(first.at(0));

        MethodLibraryEntry theirs = second.at(0);
        theirs.method.tester = "second";
        if (c.rename)
            theirs.method.name = "N";
        const LibraryResult r = c.removes ? second.remove(0) : second.edit(0, theirs);
        EXPECT_EQ(r.status, c.status) << r.message;
        EXPECT_EQ(asked, c.resolver ? Lines{"方法文件M读入后已被另一工作站修改。"} : Lines{});
        if (!c.resolver) {
            EXPECT_EQ(r.message,
                      c.removes ? "方法文件M读入后已被另一工作站修改，未删除。"
                                : "方法文件M读入后已被另一工作站修改，本次修改未保存。");
        }
        Lines files;
        for (const auto& e : fs::directory_iterator(folder.root()))
            files.push_back(e.path().filename().string());
        std::sort(files.begin(), files.end());
        EXPECT_EQ(files, c.files) << "no lock file is left behind either";
        EXPECT_EQ(loadMethodFile(folder.path("M.she")).method.tester, c.onDisk);
        const int m = second.indexOf("M");
        ASSERT_GE(m, 0);
        const MethodLibraryEntry& entry = second.at(static_cast<size_t>(m));
        EXPECT_EQ(entry.method.tester, c.entryM);
        // Once the operator has chosen, or a delete was refused, the second station knows the
        // file as it is now; while nobody has chosen, a save in place is refused as well.
        if (c.choice != Choice::Cancel || c.removes) {
            EXPECT_NO_THROW(second.saveInPlace(entry));
        } else {
            EXPECT_THROW(second.saveInPlace(entry), MethodChangedOnDisk);
            EXPECT_EQ(loadMethodFile(folder.path("M.she")).method.tester, c.onDisk);
        }
    }
}

std::string thisHost()
{
    char host[256] = {};
    ::gethostname(host, sizeof host - 1);
    return host;
}

pid_t deadProcess()
{
    const pid_t child = ::fork();
    if (child == 0)
        ::_exit(0);
    ::waitpid(child, nullptr, 0);
    return child;
}

// A lock left behind by a writer that is gone must not block the folder for good; one whose
// writer may still be writing must.
TEST(FileLockTest, ALockLeftByAGoneWriterIsTakenOverALiveOneIsNot)
{
    struct Case {
        std::string holder;
        std::chrono::seconds age;
        bool takenOver;
    };
    const std::chrono::seconds old = FileLock::kStale + std::chrono::seconds(5);
    const Case cases[] = {
        {thisHost() + " " + std::to_string(::getpid()) + "\n", std::chrono::seconds(0), false},
        {thisHost() + " " + std::to_string(deadProcess()) + "\n", std::chrono::seconds(0), true},
        {thisHost() + " " + std::to_string(::getpid()) + "\n", old, true},
        {thisHost() + " -99999\n", std::chrono::seconds(0), false},
        {"elsewhere 1\n", std::chrono::seconds(0), false},
        {"elsewhere 1\n", old, true},
        {"", std::chrono::seconds(0), false},
    };
    for (const Case& c : cases) {
        test::TempDir folder;
        const std::string file = folder.path("M.she");
        const std::string lock = FileLock::lockPathOf(file);
        std::ofstream(lock) << c.holder;
        fs::last_write_time(lock, fs::file_time_type::clock::now() - c.age);
        if (c.takenOver) {
            EXPECT_NO_THROW(FileLock(file, std::chrono::milliseconds(0))) << c.holder;
            EXPECT_FALSE(fs::exists(lock)) << c.holder;
        } else {
            EXPECT_THROW(FileLock(file, std::chrono::milliseconds(0)), FileError) << c.holder;
            EXPECT_TRUE(fs::exists(lock)) << c.holder;
        }
    }
    test::TempDir folder;
    const std::string file = folder.path("M.she");
    {
        const FileLock held(file);
        EXPECT_THROW(FileLock(file, std::chrono::milliseconds(0)), FileError);
        MethodLibraryEntry e = entryNamed("M");
        e.path = file;
        EXPECT_THROW(saveMethodFile(e), FileError) << "no write while another station writes";
        EXPECT_FALSE(fs::exists(file));
    }
    EXPECT_FALSE(fs::exists(FileLock::lockPathOf(file)));
}

}  // namespace
