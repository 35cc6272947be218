#include "TextTable.h"

#include "chromatogram/TextFormat.h"

#include <algorithm>
#include <cstdio>

namespace dgaws::cli {
namespace {

bool isWide(char32_t c)
{
    return (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0x303E) ||
        (c >= 0x3041 && c <= 0x33FF) || (c >= 0x3400 && c <= 0x4DBF) ||
        (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0xA000 && c <= 0xA4CF) ||
        (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF) ||
        (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFF60) ||
        (c >= 0xFFE0 && c <= 0xFFE6) || (c >= 0x20000 && c <= 0x3FFFD);
}

}  // namespace

std::string fixedText(double v, int decimals)
{
    const int length = std::snprintf(nullptr, 0, "%.*f", decimals, v);
    if (length <= 0)
        return {};
    std::string text(static_cast<size_t>(length) + 1, '\0');
    std::snprintf(text.data(), text.size(), "%.*f", decimals, v);
    text.resize(static_cast<size_t>(length));
    return text;
}

int displayWidth(std::string_view s)
{
    int width = 0;
    size_t i = 0;
    while (i < s.size()) {
        const auto lead = static_cast<unsigned char>(s[i]);
        const int n = static_cast<int>(utf8SequenceLength(lead));
        bool valid = n > 0 && i + static_cast<size_t>(n) <= s.size();
        char32_t c = 0;
        if (valid) {
            c = n == 1 ? lead : static_cast<char32_t>(lead & (0x7F >> n));
            for (int k = 1; k < n; ++k) {
                const auto b = static_cast<unsigned char>(s[i + static_cast<size_t>(k)]);
                if ((b & 0xC0) != 0x80) {
                    valid = false;
                    break;
                }
                c = (c << 6) | (b & 0x3F);
            }
        }
        if (!valid) {
            ++width;
            ++i;
            continue;
        }
        width += isWide(c) ? 2 : 1;
        i += static_cast<size_t>(n);
    }
    return width;
}

void TextTable::addColumn(std::string header, Align align)
{
    columns_.push_back({std::move(header), align});
}

void TextTable::addRow(std::vector<std::string> cells)
{
    cells.resize(columns_.size());
    rows_.push_back(std::move(cells));
}

void TextTable::print(std::ostream& out, std::string_view indent) const
{
    std::vector<int> widths(columns_.size(), 0);
    for (size_t c = 0; c < columns_.size(); ++c) {
        widths[c] = displayWidth(columns_[c].header);
        for (const auto& row : rows_)
            widths[c] = std::max(widths[c], displayWidth(row[c]));
    }
    auto printRow = [&](auto cellAt) {
        std::string line(indent);
        for (size_t c = 0; c < columns_.size(); ++c) {
            const std::string& cell = cellAt(c);
            const int pad = widths[c] - displayWidth(cell);
            const bool last = c + 1 == columns_.size();
            if (c > 0)
                line += "  ";
            if (columns_[c].align == Align::Right)
                line.append(static_cast<size_t>(pad), ' ') += cell;
            else if (last)
                line += cell;
            else
                (line += cell).append(static_cast<size_t>(pad), ' ');
        }
        while (!line.empty() && line.back() == ' ')
            line.pop_back();
        out << line << '\n';
    };
    printRow([&](size_t c) -> const std::string& { return columns_[c].header; });
    for (const auto& row : rows_)
        printRow([&](size_t c) -> const std::string& { return row[c]; });
}

}  // namespace dgaws::cli
