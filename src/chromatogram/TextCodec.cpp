#include "TextCodec.h"

#include "TextFormat.h"

#include <algorithm>
#include <cerrno>
#include <iconv.h>
#include <stdexcept>

namespace dgaws {
namespace {

class Converter {
public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from))
    {
        if (cd_ == reinterpret_cast<iconv_t>(-1))
            throw std::runtime_error(std::string("iconv cannot convert ") + from + " to " + to);
    }
    ~Converter() { iconv_close(cd_); }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Converts as much as possible; stops at the first byte it cannot convert and
    // returns false, leaving `in` at that byte.
    bool convert(std::string_view& in, std::string& out)
    {
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        char* src = const_cast<char*>(in.data());
        size_t srcLeft = in.size();
        char buf[512];
        bool ok = true;
        while (srcLeft > 0) {
            char* dst = buf;
            size_t dstLeft = sizeof buf;
            size_t rc = iconv(cd_, &src, &srcLeft, &dst, &dstLeft);
            out.append(buf, static_cast<size_t>(dst - buf));
            if (rc == static_cast<size_t>(-1) && errno != E2BIG) {
                ok = false;
                break;
            }
        }
        in = std::string_view(src, srcLeft);
        return ok;
    }

private:
    iconv_t cd_;
};

bool isAscii(std::string_view s)
{
    for (unsigned char c : s)
        if (c >= 0x80)
            return false;
    return true;
}

}  // namespace

std::string utf8ToGbk(std::string_view utf8)
{
    if (isAscii(utf8))
        return std::string(utf8);
    thread_local Converter gbk("CP936", "UTF-8");
    thread_local Converter wide("GB18030", "UTF-8");
    std::string out;
    out.reserve(utf8.size());
    while (!utf8.empty()) {
        if (gbk.convert(utf8, out))
            break;
        std::string_view one = utf8.substr(
            0, std::max<size_t>(1, utf8SequenceLength(static_cast<unsigned char>(utf8[0]))));
        utf8.remove_prefix(one.size());
        if (!wide.convert(one, out))
            out.push_back('?');  // not even UTF-8: nothing sensible to store
    }
    return out;
}

std::string gbkToUtf8(std::string_view gbk)
{
    if (isAscii(gbk))
        return std::string(gbk);
    thread_local Converter narrow("UTF-8", "CP936");
    thread_local Converter wide("UTF-8", "GB18030");
    std::string out;
    out.reserve(gbk.size() * 3 / 2);
    while (!gbk.empty()) {
        if (narrow.convert(gbk, out))
            break;
        // A four-byte GB18030 sequence that one of our own writers produced.
        std::string_view four = gbk.substr(0, 4);
        std::string tail;
        if (four.size() == 4 && wide.convert(four, tail) && four.empty()) {
            out += tail;
            gbk.remove_prefix(4);
            continue;
        }
        out.append("\xEF\xBF\xBD");
        gbk.remove_prefix(1);
    }
    return out;
}

bool isValidUtf8(std::string_view s)
{
    size_t i = 0;
    while (i < s.size()) {
        const auto c = static_cast<unsigned char>(s[i]);
        size_t extra = 0;
        if (c < 0x80)
            extra = 0;
        else if (c >= 0xC2 && c <= 0xDF)
            extra = 1;
        else if (c >= 0xE0 && c <= 0xEF)
            extra = 2;
        else if (c >= 0xF0 && c <= 0xF4)
            extra = 3;
        else
            return false;
        if (extra > s.size() - 1 - i)
            return false;
        for (size_t k = 1; k <= extra; ++k)
            if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80)
                return false;
        i += extra + 1;
    }
    return true;
}

}  // namespace dgaws
