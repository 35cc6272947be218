#include "PeakRecord.h"

namespace dgaws {

int peakTypeCode(int f)
{
    using namespace PeakFlag;
    if (f & (TailingWithRidersBehind | TailingWithRidersBefore))
        return 7;
    if (f & Negative)
        return 11;
    if (f & RiderOnTail)
        return (f & (StartsInValley | EndsInValley)) ? 9 : 8;
    if (f & RiderOnFront)
        return 10;
    const bool s = f & StartsInValley, e = f & EndsInValley;
    if (s && e)
        return 5;
    if (s)
        return 6;
    if (e)
        return 4;
    return 0;
}

const char* peakTypeName(int code)
{
    static const char* const names[] = {
        "独立峰(BB)",   "独立峰(BB)",     "前肩峰(BV)",   "后肩峰(VB)",
        "重叠首峰(BV)", "重叠峰(VV)",     "重叠尾峰(VB)", "溶剂峰(拖尾峰)(T)",
        "尾上峰(OT)",   "尾上重叠峰(VT)", "尾前峰(BF)",   "负  峰(N)",
    };
    if (code < 0 || code >= static_cast<int>(sizeof names / sizeof names[0]))
        return "";
    return names[code];
}

}  // namespace dgaws
