#include "ChromatogramFile.h"

#include "FileIO.h"
#include "MethodSerializer.h"

#include <cstring>
#include <sys/stat.h>

namespace dgaws {
namespace {

void serializeSignal(Archive& ar, SignalBuffer& s, int format)
{
    const int32_t n = ar.ioCount(static_cast<size_t>(s.count()), 4);
    if (ar.isStoring()) {
        ar.writeRaw(s.data(), s.byteSize());
        return;
    }
    std::vector<float> values(static_cast<size_t>(n));
    if (format >= Format::FloatSamples) {
        ar.readRaw(values.data(), values.size() * sizeof(float));
    } else {
        std::vector<int32_t> ints(static_cast<size_t>(n));
        ar.readRaw(ints.data(), ints.size() * sizeof(int32_t));
        for (size_t i = 0; i < ints.size(); ++i)
            values[i] = static_cast<float>(ints[i]);
    }
    s.assign(std::move(values));
}

void serializePeakTable(Archive& ar, PeakTable& t, int format)
{
    ioList(ar, t.records(), minPeakRecordBytes(format), [&](PeakRecord& p) {
        if (ar.isLoading())
            p.version = FormatVersion(format);
        serializePeakRecord(ar, p);
    });
}

// Formats 515 and 516 carried a second peak list here that nothing reads any more.
void skipDroppedPeakList(Archive& ar)
{
    int32_t ignored = 0;
    ar.io(ignored);
    std::vector<PeakRecord> dropped;
    ioList(ar, dropped, minPeakRecordBytes(Format::OilTest), [&](PeakRecord& p) {
        p.version = FormatVersion(Format::OilTest);
        serializePeakRecord(ar, p);
    });
    int32_t tailInt = 0;
    double tailDouble = 0.0;
    ar.io(tailInt);
    ar.io(tailDouble);
}

void serializeExtremum(Archive& ar, float& v, int format)
{
    if (ar.isStoring() || format >= Format::FloatSamples) {
        ar.io(v);
        return;
    }
    int32_t i = 0;
    ar.io(i);
    v = static_cast<float>(i);
}

void serializeRate(Archive& ar, int& rate, int format)
{
    if (ar.isLoading() && format >= Format::FloatRate && format < Format::CurrentLayout) {
        float f = 0.0f;
        ar.io(f);
        // Truncation toward zero, refusing what no int can hold.
        rate = (f > -2147483648.0f && f < 2147483648.0f) ? static_cast<int>(f) : 0;
        return;
    }
    ar.io(rate);
}

void serializeGroupResults(Archive& ar, std::vector<GroupResult>& groups)
{
    ioList(ar, groups, 49, [&](GroupResult& g) {
        ar.io(g.groupNo);
        ar.ioText(g.groupName);
        ar.io(g.windowStart);
        ar.io(g.windowEnd);
        ar.io(g.peakCount);
        ar.io(g.totalArea);
        ar.io(g.totalHeight);
        ar.io(g.totalContent);
    });
}

}  // namespace

void serializeChromatogram(Archive& ar, ChromatogramData& d)
{
    int format = FormatVersion::kCurrent;
    if (ar.isStoring()) {
        d.version.reset();
    } else {
        format = ar.readFormatNumber();
        d.method.version = FormatVersion(format);
        d.signal.version = FormatVersion(format);
        d.peaks.version = FormatVersion(format);
        d.colors.version = FormatVersion(format);
    }
    ar.ioTag(d.version);
    if (ar.isLoading())
        d.version.number = format;

    serializeMethod(ar, d.method);
    serializeSignal(ar, d.signal, format);
    serializePeakTable(ar, d.peaks, format);
    serializeColors(ar, d.colors);
    if (ar.isLoading() && format >= Format::DroppedPeakList && format < Format::CurrentLayout)
        skipDroppedPeakList(ar);

    serializeExtremum(ar, d.signalMax, format);
    serializeExtremum(ar, d.signalMin, format);
    ar.io(d.evaluated);
    ar.io(d.injectionTime);
    ar.io(d.hasData);
    serializeRate(ar, d.pointsPerSecond, format);
    ar.io(d.editMode);
    ar.io(d.sampleType);
    ar.io(d.reserved1);
    ar.io(d.standardLevel);
    ar.io(d.standardRun);
    ar.io(d.internalStdAmount);
    ar.io(d.sampleAmount);
    ar.ioText(d.methodName);
    ar.ioText(d.calibrationName);
    if (format >= Format::GroupResults)
        serializeGroupResults(ar, d.groupResults);
    if (format < Format::CurrentLayout)
        return;

    ar.ioText(d.linkedFile);
    ar.io(d.totalHydrocarbons);
    ar.io(d.diagnosisCode);
    ar.io(d.diagnosisCode2);
    ar.ioText(d.conclusion);
    ar.ioText(d.advice);
    ar.io(d.ratioCode1);
    ar.io(d.ratioCode2);
    ar.io(d.ratioCode3);
    for (double& v : d.gasInOil)
        ar.io(v);
    if (format >= Format::ExtraTexts)
        for (std::string& t : d.extraTexts)
            ar.ioText(t);
}

std::string storeChromatogram(const ChromatogramData& data)
{
    ChromatogramData copy = data;
    Archive ar = Archive::forStoring();
    serializeChromatogram(ar, copy);
    return ar.takeBytes();
}

ChromatogramData loadChromatogram(std::string bytes)
{
    if (bytes.size() < 3)
        throw ArchiveError("file too short to be a chromatogram");
    Archive ar = Archive::forLoading(std::move(bytes));
    ChromatogramData d;
    serializeChromatogram(ar, d);
    return d;
}

ChromatogramData readChromatogramFile(const std::string& path)
{
    return loadChromatogram(readWholeFile(path));
}

void writeChromatogramFile(const std::string& path, const ChromatogramData& data)
{
    writeFileAtomically(path, storeChromatogram(data));
}

void writeBinaryChromatogram(const std::string& path, const ChromatogramData& data)
{
    writeFileAtomically(path, std::string(reinterpret_cast<const char*>(data.signal.data()),
                                          data.signal.byteSize()));
}

ChromatogramData readBinaryChromatogram(const std::string& path, int pointsPerSecond)
{
    const std::string bytes = readWholeFile(path);
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        throw FileError("cannot read the status of " + path);
    ChromatogramData d;
    std::vector<float> values(bytes.size() / 4);
    if (!values.empty())
        std::memcpy(values.data(), bytes.data(), values.size() * 4);
    d.signal.assign(std::move(values));
    d.scanExtrema(-2000000.0f, 2000000.0f);
    d.evaluated = 0;
    // Linux keeps no creation time for most file systems; the last change is the nearest.
    d.injectionTime = OleDateTime::fromTimeT(st.st_mtime);
    d.hasData = 1;
    // Whoever knows how the samples were taken says so; otherwise they are taken at the
    // collector's slowest rate.
    d.pointsPerSecond = pointsPerSecond > 0 ? pointsPerSecond : kBinaryPointsPerSecond;
    d.method.timeEnd = d.signal.count() / (d.pointsPerSecond * 60.0);
    d.method.timeStart = 0.0;
    d.method.levelMin = d.signalMin * 0.001;
    d.method.levelMax = d.signalMax * 0.001;
    return d;
}

}  // namespace dgaws
