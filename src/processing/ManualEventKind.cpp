#include "ManualEventKind.h"

#include <array>
#include <cstddef>

namespace dgaws::ManualEventKind {

const char* text(int kind)
{
    static constexpr std::array<const char*, 12> kTexts{
        "移动峰起点", "移动峰顶点", "移动峰止点",         "增加峰",
        "删除峰",     "斜切基线",   "纵切基线",           "伸舌基线",
        "拖尾基线",   "水平基线",   "将负峰纳入计算范围", "系统未定义的操作"};
    if (kind < 0 || kind >= static_cast<int>(kTexts.size()))
        return kTexts.back();
    return kTexts[static_cast<std::size_t>(kind)];
}

}  // namespace dgaws::ManualEventKind
