// Writes the seed corpus of the reader fuzzers: sound files of every layout the readers
// know, and damaged variants of them (cut short, bytes flipped, counts and lengths made
// absurd). The replay test runs the readers over all of them.
#include "chromatogram/AiaFile.h"
#include "chromatogram/ChromatogramFile.h"
#include "chromatogram/FileIO.h"
#include "chromatogram/MethodFile.h"
#include "chromatogram/TextChromatogram.h"
#include "dga/RateRecord.h"

#include "../tests/chromatogram/StoredFormats.h"

#include <cstdio>
#include <filesystem>
#include <random>
#include <string>

using namespace dgaws;

namespace {

void put(const std::filesystem::path& dir, const std::string& name, const std::string& bytes)
{
    writeFileAtomically((dir / name).string(), bytes);
}

void damaged(const std::filesystem::path& dir, const std::string& stem, const std::string& good)
{
    std::mt19937 rng(12345);
    put(dir, stem + ".good", good);
    for (size_t cut : {good.size() / 2, good.size() - 1, size_t(5)})
        put(dir, stem + ".cut" + std::to_string(cut), good.substr(0, cut));
    for (int i = 0; i < 6; ++i) {
        std::string bad = good;
        for (int k = 0; k < 4; ++k)
            bad[rng() % bad.size()] = static_cast<char>(rng());
        put(dir, stem + ".flip" + std::to_string(i), bad);
    }
    for (size_t at : {size_t(7), good.size() / 3, good.size() / 2}) {
        std::string bad = good;
        for (size_t k = 0; k < 4 && at + k < bad.size(); ++k)
            bad[at + k] = '\xFF';
        put(dir, stem + ".ff" + std::to_string(at), bad);
    }
}

}  // namespace

// Collector byte streams: the ready byte and frames of both channels, a range switch, the
// start bit raised and dropped, and the line's dirt (ignored bytes, data with no header,
// cut-off frames, ready bytes inside frames). The first byte picks the fuzzer's settings.
std::string frameBytes(int channel, int magnitude, bool coarse, bool negative, bool start)
{
    const char h = static_cast<char>(0x80 | (channel == 1 ? 0x10 : 0) | (start ? 0x08 : 0) |
                                     (coarse ? 0x04 : 0) | (negative ? 0x01 : 0));
    return {h, static_cast<char>((magnitude >> 14) & 0x7F),
            static_cast<char>((magnitude >> 7) & 0x7F), static_cast<char>(magnitude & 0x7F)};
}

void serialSeeds(const std::filesystem::path& dir)
{
    std::string clean = "\x01\xE0";
    for (int i = 0; i < 40; ++i)
        clean += frameBytes(i % 2, 1000 + 97 * i, false, false, false);
    put(dir, "clean", clean);

    std::string ranges = "\x02\xE0";
    for (int i = 0; i < 30; ++i)
        ranges += frameBytes(0, i < 12 ? 1600 : 100 + i, i >= 12, i % 9 == 4, false);
    put(dir, "range-switch", ranges);

    std::string start = "\x00\xE0";
    for (int i = 0; i < 30; ++i)
        start += frameBytes(1, 5000, false, true, i < 3 || (i > 15 && i < 25));
    put(dir, "start-bit", start);

    std::mt19937 rng(777);
    std::string dirty = "\x07";
    for (int i = 0; i < 60; ++i) {
        const std::string f =
            frameBytes(static_cast<int>(rng() % 2), static_cast<int>(rng() % 2097152),
                       rng() % 5 == 0, rng() % 3 == 0, rng() % 17 == 0);
        switch (rng() % 6) {
        case 0: dirty += "\x12\x7F"; break;
        case 1: dirty += "\xC4\xDF"; break;
        case 2: dirty += f.substr(0, 2); break;
        case 3: dirty += f.substr(0, 3) + "\xE9" + f.substr(3); continue;
        default: break;
        }
        dirty += f;
        if (i == 20)
            dirty += "\xE0";
    }
    put(dir, "dirty", dirty);
    put(dir, "no-ready", clean.substr(0, 1) + clean.substr(2));
}

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FUZZ_CORPUS_DIR\n", argv[0]);
        return 2;
    }
    const std::filesystem::path root = argv[1];
    const auto chg = root / "chg";
    const auto she = root / "she";
    std::filesystem::create_directories(chg);
    std::filesystem::create_directories(she);
    std::filesystem::create_directories(root / "serial");
    serialSeeds(root / "serial");

    ChromatogramData d;
    // A fixed instant: regenerating the corpus must not change files nobody changed.
    d.injectionTime = OleDateTime::fromCivil(2024, 3, 5, 9, 30, 0);
    d.method.name = "种子";
    d.signal.assign({1.0f, 5.0f, 2.0f});
    d.peaks.append(PeakRecord{});
    d.peaks[0].componentName = "H2(氢气)";
    d.groupResults.push_back(GroupResult{});
    d.conclusion = "正常";
    damaged(chg, "v755", storeChromatogram(d));
    for (auto [tag, format] : {std::pair{"600", 600}, std::pair{"750", 750}, std::pair{"753", 753}})
        damaged(chg, std::string("v") + tag, test::chromatogramImage(tag, format));
    for (auto [tag, format] : {std::pair{"510", 510}, std::pair{"516", 516}})
        damaged(chg, std::string("v") + tag, test::oldChromatogramImage(tag, format));

    MethodLibraryEntry e;
    e.method.name = "种子";
    e.method.components.push_back(ComponentEntry{});
    e.defaultComponents = e.method.components;
    CalibrationCurve curve;
    curve.components = e.method.components;
    curve.levels[0].runs.push_back({"a.chg", {ComponentResponse{}}});
    e.curves.push_back(curve);
    damaged(she, "v755", storeMethodFile(e));

    // Text chromatograms: each layout as written, and what people make of them.
    const auto text = root / "text";
    std::filesystem::create_directories(text);
    ChromatogramData t;
    t.signal.assign({1.5f, 2.0f, -3.25f, 1e6f, 0.0f, 7.0f});
    t.pointsPerSecond = 10;
    t.hasData = 1;
    put(text, "plain.txt", formatTextChromatogram(t, TextLayout::Plain));
    put(text, "standard.txt", formatTextChromatogram(t, TextLayout::Standard));
    put(text, "comma.csv", formatTextChromatogram(t, TextLayout::CommaSeparated));
    put(text, "header.csv", "time,value\r\n0.0,1.0\r\n0.1,2.0\r\n");
    put(text, "spaces.csv", "0, 1\r\n0.0005 ,2\n\t.001,+3e2\n");
    put(text, "numbers.txt", "+4 .5 -.5 5. 1.5.25 7x 1e39 1e-400 nan inf 0x1p3 - 9");
    put(text, "one-pair.txt", "0.5 42\n");
    put(text, "backwards.txt", "1 1\n0.5 2\n0.25 3\n");

    // AIA files as exported, cut short and damaged.
    const auto cdf = root / "cdf";
    std::filesystem::create_directories(cdf);
    ChromatogramData a;
    a.signal.assign({1.0f, 4.0f, 9.0f, 16.0f, 9.0f, 4.0f, 1.0f, 0.5f});
    a.pointsPerSecond = 20;
    a.hasData = 1;
    a.injectionTime = OleDateTime::fromCivil(2024, 3, 5, 14, 7, 9);
    PeakRecord p;
    p.startIndex = 1;
    p.apexIndex = 3;
    p.endIndex = 5;
    p.retentionTime = 3 / 20.0 / 60.0;
    p.area = 30.0;
    p.typeFlags = 0x2;
    a.peaks.append(p);
    const std::string scratch = (cdf / "scratch.tmp").string();
    exportCdf(a, scratch, "seed.chg");
    const std::string good = readWholeFile(scratch);
    std::filesystem::remove(scratch);
    damaged(cdf, "export", good);
    a.peaks.clear();
    exportCdf(a, scratch, "");
    put(cdf, "nopeaks.good", readWholeFile(scratch));
    std::filesystem::remove(scratch);

    const auto lcd = root / "lcd";
    std::filesystem::create_directories(lcd);
    RateRecord r;
    r.testTime = OleDateTime::fromCivil(2023, 6, 23, 14, 5, 9);
    r.text1 = "/数据/A_20230623_01.chg";
    r.text2 = "/数据/B_20230623_01.chg";
    for (int i = 0; i < 7; ++i)
        r.values[i] = 1.5 * (i + 1);
    damaged(lcd, "rate", storeRateRecord(r));
    r.text1 = std::string(300, 'a');  // the wide length prefix
    r.text2.clear();
    damaged(lcd, "long", storeRateRecord(r));
    return 0;
}
