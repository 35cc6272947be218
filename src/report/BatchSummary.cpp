#include "BatchSummary.h"

#include "RowWorkbook.h"

#include <nlohmann/json.hpp>

#include <charconv>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace dgaws {

namespace fs = std::filesystem;

namespace {

using Json = nlohmann::ordered_json;

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

// A damaged file can hold non-finite numbers; null keeps the document valid.
Json jsonNumber(double v)
{
    return std::isfinite(v) ? Json(v) : Json(nullptr);
}

class TextSummary : public SummaryWriter {
public:
    TextSummary(std::string path, bool json, const std::vector<std::string>& columns)
        : path_(std::move(path)), temporary_(path_ + ".part"), json_(json),
          out_(temporary_, std::ios::binary | std::ios::trunc)
    {
        if (!out_)
            throw std::runtime_error("cannot write " + path_);
        if (!json_) {
            out_ << "\xEF\xBB\xBF";
            for (size_t c = 0; c < columns.size(); ++c)
                out_ << (c ? "," : "") << csvCell(columns[c]);
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
    TextSummary(const TextSummary&) = delete;
    TextSummary& operator=(const TextSummary&) = delete;

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
    WorkbookSummary(const std::string& path, const std::vector<std::string>& columns)
        : book_(path, "summary", columns)
    {}
    void write(const SummaryRow& r) override
    {
        book_.addRow({r.file, r.injectionTime, r.sendingCompany, r.deviceNo, r.component,
                      r.retentionTime, r.area, r.gasContent, r.oilContent, r.error});
    }
    void finish() override { book_.finish(); }

private:
    RowWorkbook book_;
};

}  // namespace

std::unique_ptr<SummaryWriter> openBatchSummary(const std::string& path,
                                                const std::vector<std::string>& headers)
{
    const std::vector<std::string>& columns = headers.empty() ? summaryColumns() : headers;
    const std::string ext = fs::path(path).extension().string();
    if (ext == ".csv")
        return std::make_unique<TextSummary>(path, false, columns);
    if (ext == ".jsonl")
        return std::make_unique<TextSummary>(path, true, summaryColumns());
    if (ext == ".xlsx")
        return std::make_unique<WorkbookSummary>(path, columns);
    return nullptr;
}

}  // namespace dgaws
