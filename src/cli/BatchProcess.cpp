#include "BatchProcess.h"

#include "RecordJson.h"

#include "chromatogram/ChromatogramFile.h"
#include "report/RowWorkbook.h"

#include <algorithm>
#include <atomic>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <mutex>
#include <ostream>
#include <set>
#include <thread>

namespace dgaws::cli {

namespace fs = std::filesystem;

namespace {

const std::vector<std::string> kColumns = {
    "file",          "injectionTime", "sendingCompany", "deviceNo",   "component",
    "retentionTime", "area",          "gasContent",     "oilContent", "error"};

struct SummaryRow {
    std::string file, injectionTime, sendingCompany, deviceNo, component;
    double retentionTime = NAN, area = NAN, gasContent = NAN, oilContent = NAN;
    std::string error;
};

bool isChromatogram(const fs::path& p)
{
    std::string ext = p.extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return std::tolower(c); });
    return ext == ".chg" || ext == ".dat";
}

std::string csvCell(const std::string& text)
{
    if (text.find_first_of(",\"\r\n") == std::string::npos)
        return text;
    std::string quoted = "\"";
    for (const char c : text) {
        quoted += c;
        if (c == '"')
            quoted += '"';
    }
    return quoted + "\"";
}

// The shortest text that reads back as the same number; empty for none.
std::string number(double v)
{
    if (!std::isfinite(v))
        return {};
    char buffer[64];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, v);
    return ec == std::errc() ? std::string(buffer, end) : std::string();
}

// Where the rows go; written beside its place and renamed when finished, so an interrupted
// batch leaves no half summary.
class SummaryWriter {
public:
    virtual ~SummaryWriter() = default;
    virtual void write(const SummaryRow& row) = 0;
    virtual void finish() = 0;
};

class TextSummary : public SummaryWriter {
public:
    TextSummary(std::string path, bool json)
        : path_(std::move(path)), temporary_(path_ + ".part"), json_(json),
          out_(temporary_, std::ios::binary | std::ios::trunc)
    {
        if (!out_)
            throw std::runtime_error("cannot write " + path_);
        if (!json_) {
            out_ << "\xEF\xBB\xBF";
            for (size_t c = 0; c < kColumns.size(); ++c)
                out_ << (c ? "," : "") << kColumns[c];
            out_ << "\r\n";
        }
    }
    ~TextSummary() override
    {
        if (!finished_) {
            out_.close();
            std::error_code ec;
            fs::remove(temporary_, ec);
        }
    }
    void write(const SummaryRow& r) override
    {
        if (json_) {
            Json j = {{"file", r.file},
                      {"injectionTime", r.injectionTime},
                      {"sendingCompany", r.sendingCompany},
                      {"deviceNo", r.deviceNo},
                      {"component", r.component},
                      {"retentionTime", jsonNumber(r.retentionTime)},
                      {"area", jsonNumber(r.area)},
                      {"gasContent", jsonNumber(r.gasContent)},
                      {"oilContent", jsonNumber(r.oilContent)}};
            if (!r.error.empty())
                j["error"] = r.error;
            out_ << j.dump(-1, ' ', false, Json::error_handler_t::replace) << '\n';
            return;
        }
        out_ << csvCell(r.file) << ',' << csvCell(r.injectionTime) << ','
             << csvCell(r.sendingCompany) << ',' << csvCell(r.deviceNo) << ','
             << csvCell(r.component) << ',' << number(r.retentionTime) << ',' << number(r.area)
             << ',' << number(r.gasContent) << ',' << number(r.oilContent) << ','
             << csvCell(r.error) << "\r\n";
    }
    void finish() override
    {
        out_.close();
        if (!out_)
            throw std::runtime_error("cannot write " + path_);
        fs::rename(temporary_, path_);
        finished_ = true;
    }

private:
    std::string path_;
    std::string temporary_;
    bool json_;
    std::ofstream out_;
    bool finished_ = false;
};

class WorkbookSummary : public SummaryWriter {
public:
    explicit WorkbookSummary(const std::string& path) : book_(path, "summary", kColumns) {}
    void write(const SummaryRow& r) override
    {
        book_.addRow({r.file, r.injectionTime, r.sendingCompany, r.deviceNo, r.component,
                      r.retentionTime, r.area, r.gasContent, r.oilContent, r.error});
    }
    void finish() override { book_.finish(); }

private:
    RowWorkbook book_;
};

std::unique_ptr<SummaryWriter> summaryWriter(const std::string& path)
{
    const std::string ext = fs::path(path).extension().string();
    if (ext == ".csv")
        return std::make_unique<TextSummary>(path, false);
    if (ext == ".jsonl")
        return std::make_unique<TextSummary>(path, true);
    if (ext == ".xlsx")
        return std::make_unique<WorkbookSummary>(path);
    return nullptr;
}

std::vector<SummaryRow> rowsOf(const std::string& file, const ChromatogramData& d)
{
    SummaryRow base;
    base.file = file;
    base.injectionTime = d.injectionTime.format("%Y-%m-%d %H:%M:%S");
    base.sendingCompany = d.method.sendingCompany;
    base.deviceNo = d.method.deviceNo;
    std::vector<SummaryRow> rows;
    for (const PeakRecord& p : d.peaks) {
        if (p.excluded || p.componentName.empty())
            continue;
        SummaryRow r = base;
        r.component = p.componentName;
        r.retentionTime = p.retentionTime;
        r.area = p.area;
        r.gasContent = p.gasContent;
        r.oilContent = p.oilContent;
        rows.push_back(std::move(r));
    }
    if (rows.empty())
        rows.push_back(base);
    return rows;
}

// Where a processed file goes: its path below the folder it was found in, or its name.
fs::path outputFor(const std::string& file, const std::vector<std::string>& inputs,
                   const std::string& outputDir)
{
    const fs::path path(file);
    for (const std::string& input : inputs) {
        std::error_code ec;
        if (!fs::is_directory(input, ec))
            continue;
        const fs::path relative = path.lexically_relative(fs::path(input));
        if (!relative.empty() && *relative.begin() != "..")
            return fs::path(outputDir) / relative;
    }
    return fs::path(outputDir) / path.filename();
}

std::string clock(double seconds)
{
    const long s = long(std::max(0.0, seconds));
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%02ld:%02ld:%02ld", s / 3600, s / 60 % 60, s % 60);
    return buffer;
}

}  // namespace

std::vector<std::string> collectChromatograms(const std::vector<std::string>& inputs,
                                              bool recursive, std::vector<std::string>& missing)
{
    std::set<std::string> found;
    for (const std::string& input : inputs) {
        std::error_code ec;
        if (fs::is_regular_file(input, ec)) {
            found.insert(fs::path(input).lexically_normal().string());
        } else if (fs::is_directory(input, ec)) {
            const auto add = [&](const fs::directory_entry& e) {
                if (e.is_regular_file(ec) && isChromatogram(e.path()))
                    found.insert(e.path().lexically_normal().string());
            };
            const auto skip = fs::directory_options::skip_permission_denied;
            if (recursive)
                for (const auto& e : fs::recursive_directory_iterator(input, skip, ec))
                    add(e);
            else
                for (const auto& e : fs::directory_iterator(input, skip, ec))
                    add(e);
        } else {
            missing.push_back(input);
        }
    }
    return {found.begin(), found.end()};
}

int runBatch(const BatchOptions& o, std::ostream& out, std::ostream& err)
{
    std::vector<std::string> missing;
    const std::vector<std::string> files = collectChromatograms(o.inputs, o.recursive, missing);
    for (const std::string& m : missing)
        err << "dgaws-cli: no such file or folder: " << m << '\n';
    if (!missing.empty())
        return 1;

    std::unique_ptr<SummaryWriter> summary;
    try {
        if (!o.summary.empty()) {
            summary = summaryWriter(o.summary);
            if (!summary) {
                err << "dgaws-cli: --summary takes a .csv, .jsonl or .xlsx file\n";
                return 2;
            }
        }
    } catch (const std::exception& e) {
        err << "dgaws-cli: " << e.what() << '\n';
        return 1;
    }
    {
        // The method is read once here, so a bad one stops the batch before any file.
        ProcessSession check(o.process);
        if (const std::string failure = check.prepare(); !failure.empty()) {
            err << "dgaws-cli: " << failure << '\n';
            return 1;
        }
    }

    const int jobs = o.jobs > 0 ? o.jobs : int(std::max(1u, std::thread::hardware_concurrency()));
    std::atomic<size_t> next{0};
    std::mutex lock;  // the summary, the failures and the progress line
    std::vector<std::pair<std::string, std::string>> failures;
    size_t done = 0;
    const auto start = std::chrono::steady_clock::now();
    auto lastShown = start;

    const auto worker = [&] {
        ProcessSession session(o.process);
        session.prepare();
        for (size_t i; (i = next.fetch_add(1)) < files.size();) {
            const std::string& file = files[i];
            CChrEDoc doc;
            std::string error;
            bool ok = session.process(file, doc, error);
            if (ok && !o.outputDir.empty()) {
                const fs::path target = outputFor(file, o.inputs, o.outputDir);
                try {
                    fs::create_directories(target.parent_path());
                    writeChromatogramFile(target.string(), doc.data);
                } catch (const std::exception& e) {
                    ok = false;
                    error = "cannot write " + target.string() + ": " + e.what();
                }
            }
            std::vector<SummaryRow> rows;
            if (ok) {
                rows = rowsOf(file, doc.data);
            } else {
                SummaryRow failed;
                failed.file = file;
                failed.error = error;
                rows.push_back(failed);
            }
            const std::lock_guard guard(lock);
            if (summary)
                for (const SummaryRow& r : rows)
                    summary->write(r);
            if (!ok)
                failures.emplace_back(file, error);
            ++done;
            const auto now = std::chrono::steady_clock::now();
            if (o.progress &&
                (now - lastShown > std::chrono::milliseconds(100) || done == files.size())) {
                lastShown = now;
                const double elapsed = std::chrono::duration<double>(now - start).count();
                const double rate = elapsed > 0 ? done / elapsed : 0.0;
                const int width = 30;
                const int filled = int(width * done / std::max<size_t>(files.size(), 1));
                err << "\r[" << std::string(size_t(filled), '#')
                    << std::string(size_t(width - filled), ' ') << "] " << done << '/'
                    << files.size() << "  " << std::lround(rate) << " files/s  "
                    << clock(rate > 0 ? (files.size() - done) / rate : 0.0) << " left"
                    << std::flush;
            }
        }
    };
    std::vector<std::thread> threads;
    for (int t = 1; t < jobs; ++t)
        threads.emplace_back(worker);
    worker();
    for (std::thread& t : threads)
        t.join();
    if (o.progress && !files.empty())
        err << '\n';

    int status = failures.empty() ? 0 : 1;
    bool summaryWritten = false;
    if (summary) {
        try {
            summary->finish();
            summaryWritten = true;
        } catch (const std::exception& e) {
            err << "dgaws-cli: cannot write " << o.summary << ": " << e.what() << '\n';
            status = 1;
        }
    }
    std::sort(failures.begin(), failures.end());
    for (const auto& [file, error] : failures)
        err << "dgaws-cli: " << file << ": " << error << '\n';
    out << files.size() - failures.size() << " of " << files.size() << " chromatograms processed";
    if (summaryWritten)
        out << ", summary in " << o.summary;
    out << '\n';
    return status;
}

}  // namespace dgaws::cli
