#include "TextChromatogram.h"

#include "FileIO.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <fstream>
#include <limits>

namespace dgaws {
namespace {

// "%.*f" as printf writes it in the "C" locale. A Qt application switches the process to
// the user's locale, where printf would write decimal commas.
void appendFixed(std::string& out, double value, int decimals)
{
    char buf[128];
    const auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, decimals);
    out.append(buf, r.ec == std::errc() ? r.ptr : buf);
}

bool isSpace(char c)
{
    return c == ' ' || (c >= '\t' && c <= '\r');
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Reads numbers as fscanf's "%lf" does, independent of the locale: leading white space, an
// optional sign, decimal digits with an optional point and exponent. "inf", "nan", hex
// floats and figures beyond the range of a double are not numbers here: a sample must be a
// finite value.
class NumberScanner {
public:
    explicit NumberScanner(std::string_view text) : s_(text) {}

    bool number(double& out)
    {
        while (pos_ < s_.size() && isSpace(s_[pos_]))
            ++pos_;
        size_t p = pos_;
        bool negative = false;
        if (p < s_.size() && (s_[p] == '+' || s_[p] == '-')) {
            negative = s_[p] == '-';
            ++p;
        }
        const bool startsNumber = p < s_.size() &&
            (isDigit(s_[p]) || (s_[p] == '.' && p + 1 < s_.size() && isDigit(s_[p + 1])));
        if (!startsNumber)
            return false;
        double v = 0.0;
        const auto r =
            std::from_chars(s_.data() + p, s_.data() + s_.size(), v, std::chars_format::general);
        if (r.ec != std::errc() || !std::isfinite(v))
            return false;
        pos_ = static_cast<size_t>(r.ptr - s_.data());
        out = negative ? -v : v;
        return true;
    }

    // A value that a float sample can hold.
    bool sample(float& out)
    {
        double v = 0.0;
        const size_t before = pos_;
        if (!number(v) || std::fabs(v) > std::numeric_limits<float>::max()) {
            pos_ = before;
            return false;
        }
        out = static_cast<float>(v);
        return true;
    }

    bool literal(char c)
    {
        if (pos_ < s_.size() && s_[pos_] == c) {
            ++pos_;
            return true;
        }
        return false;
    }

private:
    std::string_view s_;
    size_t pos_ = 0;
};

// One pass over the text: calls sink(index, time, value) for every sample and returns how
// many there were. Both passes of the reader run this same grammar, so the count of the
// first always matches what the second stores.
template <class Sink> int scanSamples(std::string_view text, TextLayout layout, Sink&& sink)
{
    NumberScanner in(text);
    int count = 0;
    for (;;) {
        double time = 0.0;
        float value = 0.0f;
        if (layout != TextLayout::Plain) {
            if (!in.number(time))
                break;
            // "%lf,%lf": the comma must follow the time directly; white space may follow it.
            if (layout == TextLayout::CommaSeparated && !in.literal(','))
                break;
        }
        if (!in.sample(value))
            break;
        if (count == kMaxImportedSamples)
            throw InterchangeError("the text holds more samples than a chromatogram can hold");
        sink(count, time, value);
        ++count;
    }
    return count;
}

}  // namespace

const char* textOpenedLog(TextLayout layout)
{
    switch (layout) {
    case TextLayout::Standard: return kStandardTextOpenedLog;
    case TextLayout::CommaSeparated: return kCsvTextOpenedLog;
    default: return kPlainTextOpenedLog;
    }
}

int rateFromTimeStep(double stepMinutes)
{
    if (!std::isfinite(stepMinutes) || stepMinutes <= 0.0)
        return 0;
    const double perSecond = 1.0 / stepMinutes / 60.0;
    if (!std::isfinite(perSecond) || perSecond > kMaxImportedRate)
        return 0;
    const double whole = std::floor(perSecond);
    if (whole >= 1.0 && perSecond - whole <= 0.005 * perSecond)
        return static_cast<int>(whole);
    return static_cast<int>(std::ceil(perSecond));
}

std::string formatTextChromatogram(const ChromatogramData& data, TextLayout layout)
{
    std::string out;
    const int n = data.signal.count();
    out.reserve(static_cast<size_t>(n) * (layout == TextLayout::Plain ? 12 : 24));
    for (int i = 0; i < n; ++i) {
        const double value = data.signal.at(i);
        switch (layout) {
        case TextLayout::Plain:
            appendFixed(out, value, 6);
            out += ' ';
            break;
        case TextLayout::Standard:
            appendFixed(out, data.indexToTime(i), 7);
            out += ' ';
            appendFixed(out, value, 6);
            out += '\n';
            break;
        case TextLayout::CommaSeparated:
            appendFixed(out, data.indexToTime(i), 6);
            out += ',';
            appendFixed(out, value, 6);
            out += "\n\t";
            break;
        }
    }
    return out;
}

void saveText(const ChromatogramData& data, const std::string& path, TextLayout layout)
{
    if (!data.hasData || data.signal.count() == 0)
        throw InterchangeError(kExportNoData);
    writeFileAtomically(path, formatTextChromatogram(data, layout));
}

ChromatogramData parseTextChromatogram(std::string_view text, TextLayout layout, int currentRate)
{
    ChromatogramData d;
    d.pointsPerSecond = currentRate > 0 ? currentRate : kDefaultPointsPerSecond;

    const int count = scanSamples(text, layout, [](int, double, float) {});
    d.signal.resize(count);
    double firstTimes[2] = {0.0, 0.0};
    scanSamples(text, layout, [&](int i, double time, float value) {
        d.signal.set(i, value);
        if (i < 2)
            firstTimes[i] = time;
    });
    // An empty text stays a record without data: claiming data for no samples would let the
    // export commands write empty files.
    if (count == 0)
        return d;

    // A file with one pair gives no time step: it keeps the current rate, as the plain
    // layout always does.
    if (layout != TextLayout::Plain && count >= 2) {
        const int rate = rateFromTimeStep(firstTimes[1] - firstTimes[0]);
        if (rate > 0)
            d.pointsPerSecond = rate;
    }
    d.hasData = true;
    d.evaluated = 0;
    d.scanExtrema(-2000000.0f, 2000000.0f);
    d.method.timeStart = 0.0;
    d.method.timeEnd = d.duration();
    d.method.levelMin = d.signalMin * 0.001;
    d.method.levelMax = d.signalMax * 0.001;
    return d;
}

ChromatogramData loadText(const std::string& path, TextLayout layout, int currentRate)
{
    return parseTextChromatogram(readWholeFile(path), layout, currentRate);
}

TextLayout recogniseTextLayout(std::string_view head)
{
    // Blank lines before the first sample say nothing about the layout.
    size_t begin = 0;
    while (begin < head.size() && isSpace(head[begin]))
        ++begin;
    const size_t end = head.find('\n', begin);
    if (end == std::string_view::npos)
        return TextLayout::Plain;
    const std::string_view line = head.substr(begin, end - begin);
    NumberScanner scan(line);
    double first = 0.0, second = 0.0, more = 0.0;
    if (!scan.number(first))
        return TextLayout::Plain;
    if (scan.literal(',') && scan.number(second))
        return TextLayout::CommaSeparated;
    NumberScanner pair(line);
    if (pair.number(first) && pair.number(second) && !pair.number(more))
        return TextLayout::Standard;
    return TextLayout::Plain;
}

TextLayout textLayoutOfFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::string head(65536, '\0');
    in.read(head.data(), static_cast<std::streamsize>(head.size()));
    head.resize(static_cast<size_t>(std::max<std::streamsize>(in.gcount(), 0)));
    return recogniseTextLayout(head);
}

}  // namespace dgaws
