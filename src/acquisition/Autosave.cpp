#include "Autosave.h"

#include "chromatogram/Archive.h"
#include "chromatogram/ChromatogramFile.h"
#include "chromatogram/FileIO.h"
#include "chromatogram/TextFormat.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <unistd.h>

namespace dgaws {
namespace {

constexpr char kMagic[8] = {'D', 'G', 'A', 'U', 'T', 'O', '1', '\n'};

void putU32(std::string& out, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

uint32_t getU32(const std::string& in, size_t at)
{
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i)
        v |= static_cast<uint32_t>(static_cast<uint8_t>(in[at + static_cast<size_t>(i)]))
            << (8 * i);
    return v;
}

bool writeAll(int fd, const char* p, size_t n)
{
    while (n > 0) {
        const ssize_t w = ::write(fd, p, n);
        if (w < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        p += w;
        n -= static_cast<size_t>(w);
    }
    return true;
}

}  // namespace

AutosaveWriter::AutosaveWriter(Clock clock)
    : clock_(clock ? std::move(clock) : Clock([] { return std::chrono::steady_clock::now(); }))
{}

AutosaveWriter::~AutosaveWriter()
{
    close();
}

bool AutosaveWriter::begin(const std::string& path, const ChromatogramData& runStart)
{
    close();
    failed_ = false;
    error_.clear();
    written_ = 0;
    path_ = path;
    ChromatogramData head = runStart;
    head.signal.resize(0);
    std::string bytes(kMagic, sizeof kMagic);
    const std::string record = storeChromatogram(head);
    putU32(bytes, static_cast<uint32_t>(record.size()));
    bytes += record;
    try {
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        // The head appears whole or not at all, so recovery never meets half a record.
        writeFileAtomically(path, bytes);
    } catch (const std::exception& e) {
        failed_ = true;
        error_ = e.what();
        return false;
    }
    fd_ = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
    if (fd_ < 0) {
        failed_ = true;
        error_ = std::string("cannot open ") + path + ": " + std::strerror(errno);
        return false;
    }
    lastSync_ = clock_();
    return true;
}

bool AutosaveWriter::append(float value)
{
    if (fd_ < 0)
        return false;
    char b[sizeof value];
    std::memcpy(b, &value, sizeof value);
    if (!writeAll(fd_, b, sizeof b)) {
        failed_ = true;
        error_ = std::string("cannot write ") + path_ + ": " + std::strerror(errno);
        ::close(fd_);
        fd_ = -1;
        return false;
    }
    ++written_;
    if (clock_() - lastSync_ >= kSyncInterval)
        sync();
    return true;
}

void AutosaveWriter::sync()
{
    if (fd_ >= 0)
        ::fdatasync(fd_);
    lastSync_ = clock_();
}

void AutosaveWriter::close()
{
    if (fd_ < 0)
        return;
    sync();
    ::close(fd_);
    fd_ = -1;
}

void AutosaveWriter::remove()
{
    close();
    if (!path_.empty())
        ::unlink(path_.c_str());
    path_.clear();
}

std::vector<std::string> findAutosaves(const std::string& folder)
{
    std::vector<std::string> found;
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator(folder, ec)) {
        if (e.is_regular_file(ec) && e.path().extension() == kAutosaveExtension)
            found.push_back(e.path().string());
    }
    std::sort(found.begin(), found.end());
    return found;
}

ChromatogramData recoverAutosave(const std::string& path)
{
    const std::string bytes = readWholeFile(path);
    if (bytes.size() < sizeof kMagic + 4 || std::memcmp(bytes.data(), kMagic, sizeof kMagic))
        throw ArchiveError("not a safety copy of a run: " + path);
    const size_t recordSize = getU32(bytes, sizeof kMagic);
    const size_t recordAt = sizeof kMagic + 4;
    if (recordSize > bytes.size() - recordAt)
        throw ArchiveError("safety copy head is cut short: " + path);
    ChromatogramData d = loadChromatogram(bytes.substr(recordAt, recordSize));
    const size_t samplesAt = recordAt + recordSize;
    std::vector<float> samples((bytes.size() - samplesAt) / sizeof(float));
    if (!samples.empty())
        std::memcpy(samples.data(), bytes.data() + samplesAt, samples.size() * sizeof(float));
    d.signal.assign(std::move(samples));
    d.hasData = d.signal.count() > 0;
    d.scanExtrema(-2000000.0f, 2000000.0f);
    return d;
}

void RecoveredRun::discard() const
{
    ::unlink(copyPath.c_str());
}

std::vector<RecoveredRun>
recoverUnfinishedRuns(const std::string& folder, const std::function<bool(const std::string&)>& ask,
                      const std::function<void(const std::string&, const std::string&)>& unreadable)
{
    std::vector<RecoveredRun> runs;
    for (const std::string& path : findAutosaves(folder)) {
        RecoveredRun r;
        r.copyPath = path;
        try {
            r.data = recoverAutosave(path);
        } catch (const std::exception& e) {
            if (unreadable)
                unreadable(path, e.what());
            continue;
        }
        const std::string name = std::filesystem::path(path).filename().string();
        if (ask && ask(formatText(kRecoverQuestion, name)))
            runs.push_back(std::move(r));
        else
            r.discard();
    }
    return runs;
}

std::string autosavePathFor(const std::string& folder, const std::string& fileName)
{
    std::filesystem::path stem = std::filesystem::path(fileName).stem();
    if (stem.empty())
        stem = "run";
    std::filesystem::path p = std::filesystem::path(folder) / (stem.string() + kAutosaveExtension);
    for (int n = 1; fileExists(p.string()); ++n)
        p = std::filesystem::path(folder) /
            (stem.string() + "_" + std::to_string(n) + kAutosaveExtension);
    return p.string();
}

}  // namespace dgaws
