#include "ChromatogramFile.h"

#include "FieldArchive.h"
#include "FileIO.h"

#include <cstring>
#include <sys/stat.h>

namespace dgaws {

void ioFileHead(Archive& ar, FormatVersion& head, int)
{
    if (ar.isStoring())
        head.reset();
    ar.ioTag(head);
}

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

// Formats 515 and 516 carried a second peak list here that nothing reads any more.
void skipDroppedPeakList(Archive& ar, ChromatogramData&, int)
{
    int32_t ignored = 0;
    ar.io(ignored);
    std::vector<PeakRecord> dropped;
    ioValue(ar, dropped, Format::OilTest);
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

std::string storeChromatogram(const ChromatogramData& data)
{
    return storeRecord(data);
}

ChromatogramData loadChromatogram(std::string bytes)
{
    if (bytes.size() < 3)
        throw ArchiveError("file too short to be a chromatogram");
    return loadRecord<ChromatogramData>(std::move(bytes));
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
    writeFileAtomically(
        path,
        std::string(reinterpret_cast<const char*>(data.signal.data()), data.signal.byteSize()));
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
    d.hasData = true;
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
