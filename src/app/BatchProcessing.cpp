#include "BatchProcessing.h"

#include "chromatogram/ChromatogramFile.h"
#include "chromatogram/ChromatogramKinds.h"
#include "chromatogram/FileIO.h"

#include <algorithm>
#include <cctype>
#include <mutex>
#include <set>
#include <stdexcept>
#include <thread>

namespace dgaws {

namespace fs = std::filesystem;

namespace {

std::string lowerExtension(const fs::path& p)
{
    std::string ext = p.extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return ext;
}

bool isChromatogram(const fs::path& p)
{
    const std::string ext = lowerExtension(p);
    return ext == ".chg" || ext == ".dat";
}

constexpr const char* kNotAChromatogram = "not a chromatogram (process reads .chg and .dat files)";

}  // namespace

ChromatogramData readChromatogramToProcess(const std::string& path, int pointsPerSecond)
{
    const std::string ext = lowerExtension(path);
    if (ext == ".she" || ext == ".lcd")
        throw std::runtime_error(kNotAChromatogram);
    if (const auto kind = kindOfFile(path))
        return readChromatogramOfKind(path, *kind, pointsPerSecond);
    // Renamed or extensionless chromatograms are common on shared drives; the three tag
    // digits every .chg starts with are the only sign there is.
    std::string bytes = readWholeFile(path);
    if (bytes.size() < 3 ||
        !std::all_of(bytes.begin(), bytes.begin() + 3, [](char c) { return c >= '0' && c <= '9'; }))
        throw std::runtime_error(kNotAChromatogram);
    return loadChromatogram(std::move(bytes));
}

ProcessSession::ProcessSession(const ProcessSettings& settings) : settings_(settings)
{
    if (!settings.methodFolder.empty())
        library_.loadLibrary(settings.methodFolder);
}

std::string ProcessSession::prepare()
{
    if (settings_.methodPath.empty())
        return {};
    MethodLibraryEntry entry;
    try {
        entry = loadMethodFile(settings_.methodPath);
    } catch (const std::exception& e) {
        return "cannot read " + settings_.methodPath + ": " + e.what();
    }
    method_ = static_cast<int>(library_.adopt(std::move(entry)));
    curve_ = library_.curveIndexOf(method_, settings_.calibration);
    if (!settings_.calibration.empty() && curve_ < 0)
        return "method " + settings_.methodPath + " has no curve named \"" + settings_.calibration +
            "\"";
    return {};
}

bool ProcessSession::process(const std::string& path, CChrEDoc& doc, std::string& error)
{
    // The document keeps a pointer to the library, which outlives it here.
    doc.setMethodLibrary(&library_);
    doc.setStandardRunsStored(false);
    try {
        doc.data = readChromatogramToProcess(path, settings_.pointsPerSecond);
        if (settings_.pointsPerSecond > 0)
            doc.data.pointsPerSecond = settings_.pointsPerSecond;
    } catch (const std::exception& e) {
        error = "cannot read " + path + ": " + e.what();
        return false;
    }
    // Linked but without a path: a standard's run is entered into a curve on purpose, never
    // as a side effect of processing.
    if (method_ < 0)
        doc.linkToLibrary();
    else  // the sample information stays the chromatogram's own
        doc.takeLibraryMethod({method_, curve_}, MethodTake::Analysis);
    doc.state = CChrEDoc::FromFile;
    doc.data.hasData = true;
    doc.engine.setSettings({settings_.cacuFrequence, settings_.keepExcluded ? 0 : 1});
    // Processing was asked for: a processed chromatogram is detected again.
    doc.setQuestionSink([](const std::string&) { return true; });
    doc.detectPeaks();
    return true;
}

const std::vector<std::string>& summaryColumns()
{
    static const std::vector<std::string> columns = {
        "file",          "injectionTime", "sendingCompany", "deviceNo",   "component",
        "retentionTime", "area",          "gasContent",     "oilContent", "error"};
    return columns;
}

const std::vector<std::string>& summaryColumnTitles()
{
    static const std::vector<std::string> titles = {
        "文件",     "进样时间",     "送样公司",         "设备编号",       "组份名",
        "保留时间", "峰面积(uv*s)", "气相中含量(uL/L)", "油中含量(uL/L)", "错误"};
    return titles;
}

std::vector<SummaryRow> summaryRowsOf(const std::string& file, const ChromatogramData& d)
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

fs::path batchOutputFor(const std::string& file, const std::vector<std::string>& inputs,
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

std::string firstOverwrittenInput(const std::vector<std::string>& files,
                                  const std::vector<std::string>& inputs,
                                  const std::string& outputDir)
{
    if (outputDir.empty())
        return {};
    for (const std::string& file : files) {
        std::error_code ec;
        if (fs::equivalent(batchOutputFor(file, inputs, outputDir), file, ec))
            return file;
    }
    return {};
}

BatchOutcome processBatch(const std::vector<std::string>& files, const BatchRequest& request,
                          SummaryWriter* summary, const std::atomic<bool>* cancel,
                          const BatchProgressCallback& progress)
{
    const int jobs =
        request.jobs > 0 ? request.jobs : int(std::max(1u, std::thread::hardware_concurrency()));
    BatchOutcome outcome;
    outcome.total = files.size();
    std::atomic<size_t> next{0};
    std::mutex lock;  // the summary, the outcome and the progress callback
    const auto cancelled = [cancel] { return cancel && cancel->load(); };

    const auto worker = [&] {
        ProcessSession session(request.process);
        session.prepare();
        for (size_t i; !cancelled() && (i = next.fetch_add(1)) < files.size();) {
            const std::string& file = files[i];
            CChrEDoc doc;
            std::string error;
            bool ok = session.process(file, doc, error);
            if (ok && !request.outputDir.empty()) {
                const fs::path target = batchOutputFor(file, request.inputs, request.outputDir);
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
                rows = summaryRowsOf(file, doc.data);
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
                outcome.failures.push_back({file, error});
            ++outcome.finished;
            if (progress)
                progress({outcome.finished, files.size(), file, ok ? std::string() : error});
        }
    };
    std::vector<std::thread> threads;
    for (int t = 1; t < jobs; ++t)
        threads.emplace_back(worker);
    worker();
    for (std::thread& t : threads)
        t.join();

    outcome.cancelled = outcome.finished < outcome.total;
    std::sort(outcome.failures.begin(), outcome.failures.end());
    if (summary) {
        try {
            summary->finish();
        } catch (const std::exception& e) {
            outcome.summaryError = e.what();
        }
    }
    return outcome;
}

}  // namespace dgaws
