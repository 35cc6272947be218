#include "TimeEventType.h"

namespace dgaws {

const char* timeEventTypeText(int type)
{
    static const char* const texts[TimeEventType::Count] = {
        "无",
        "立即设置基线",
        "在下一个谷点设置基线",
        "此时间后强制为独立峰",
        "取消独立峰强制识别",
        "下一个峰是尾上峰",
        "允许拖尾峰自动识别",
        "禁止拖尾峰自动识别",
        "设置水平基线",
        "取消水平基线",
        "自动半峰宽",
        "取消自动半峰宽",
        "允许积分",
        "禁止积分",
        "下一个峰为负峰",
        "此处设定为峰起点",
        "此处设定为峰止点",
    };
    if (type < 0 || type >= TimeEventType::Count)
        return "";
    return texts[type];
}

}  // namespace dgaws
