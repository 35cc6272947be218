#pragma once

#include <string>
#include <string_view>

namespace dgaws {

// Texts are UTF-8 in memory and GBK in every stored file. GB18030 is used on the wire
// because it is byte-identical to GBK for every GBK character and can still carry the
// rare character outside GBK instead of dropping it.
std::string utf8ToGbk(std::string_view utf8);

// Undecodable bytes (damaged or foreign files) become U+FFFD; decoding never fails.
std::string gbkToUtf8(std::string_view gbk);

}  // namespace dgaws
