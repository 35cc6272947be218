#pragma once

#include <string>
#include <string_view>

namespace dgaws {

// Texts are UTF-8 in memory and GBK (the Windows code page 936) in every stored file.
// A character that GBK cannot hold is written in its GB18030 form rather than dropped;
// a reader that knows only GBK shows it as two unknown characters, ours reads it back.
std::string utf8ToGbk(std::string_view utf8);

// Undecodable bytes (damaged or foreign files) become U+FFFD; decoding never fails.
std::string gbkToUtf8(std::string_view gbk);

// Whether the bytes are well-formed UTF-8 (plain ASCII is); texts written by other systems
// often are, texts of ours are GBK.
bool isValidUtf8(std::string_view s);

}  // namespace dgaws
