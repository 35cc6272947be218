#include "BatchProcess.h"

#include "report/BatchSummary.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <memory>
#include <ostream>

namespace dgaws::cli {

namespace {

std::string clock(double seconds)
{
    const long s = long(std::max(0.0, seconds));
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%02ld:%02ld:%02ld", s / 3600, s / 60 % 60, s % 60);
    return buffer;
}

}  // namespace

int runBatch(const BatchOptions& o, std::ostream& out, std::ostream& err)
{
    std::vector<std::string> missing;
    const std::vector<std::string> files = collectChromatograms(o.inputs, o.recursive, missing);
    for (const std::string& m : missing)
        err << "dgaws-cli: no such file or folder: " << m << '\n';
    if (!missing.empty())
        return 1;
    if (const std::string over = firstOverwrittenInput(files, o.inputs, o.outputDir);
        !over.empty()) {
        err << "dgaws-cli: --output-dir would write over " << over
            << "; choose a folder apart from the inputs\n";
        return 2;
    }

    std::unique_ptr<SummaryWriter> summary;
    try {
        if (!o.summary.empty()) {
            summary = openBatchSummary(o.summary);
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

    BatchRequest request;
    request.inputs = o.inputs;
    request.outputDir = o.outputDir;
    request.jobs = o.jobs;
    request.process = o.process;
    const auto start = std::chrono::steady_clock::now();
    auto lastShown = start;
    BatchProgressCallback progress;
    if (o.progress)
        progress = [&](const BatchProgress& p) {
            const auto now = std::chrono::steady_clock::now();
            if (now - lastShown <= std::chrono::milliseconds(100) && p.done != p.total)
                return;
            lastShown = now;
            const double elapsed = std::chrono::duration<double>(now - start).count();
            const double rate = elapsed > 0 ? p.done / elapsed : 0.0;
            const int width = 30;
            const int filled = int(width * p.done / std::max<size_t>(p.total, 1));
            err << "\r[" << std::string(size_t(filled), '#')
                << std::string(size_t(width - filled), ' ') << "] " << p.done << '/' << p.total
                << "  " << std::lround(rate) << " files/s  "
                << clock(rate > 0 ? (p.total - p.done) / rate : 0.0) << " left" << std::flush;
        };
    const BatchOutcome outcome = processBatch(files, request, summary.get(), nullptr, progress);
    if (o.progress && !files.empty())
        err << '\n';

    int status = outcome.failures.empty() ? 0 : 1;
    if (!outcome.summaryError.empty()) {
        err << "dgaws-cli: cannot write " << o.summary << ": " << outcome.summaryError << '\n';
        status = 1;
    }
    for (const BatchFailure& f : outcome.failures)
        err << "dgaws-cli: " << f.file << ": " << f.error << '\n';
    out << files.size() - outcome.failures.size() << " of " << files.size()
        << " chromatograms processed";
    if (summary && outcome.summaryError.empty())
        out << ", summary in " << o.summary;
    out << '\n';
    return status;
}

}  // namespace dgaws::cli
