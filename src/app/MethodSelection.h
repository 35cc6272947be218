#pragma once

#include "chromatogram/MethodLibrary.h"

namespace dgaws {

class CChrEDoc;

// An open chromatogram takes its method from the library: the whole method from the method
// tree, or only the calculation settings from the choice dialog. Either way the component
// table or the curve changes, so every identification and content is evaluated again; the
// caller redraws.
class MethodSelection {
public:
    static constexpr const char* kUseCaption = "使用该分析方法";
    static constexpr const char* kUseQuestion = "您确定要使用分析方法-%s吗?";
    static constexpr const char* kChooseText = "选择分析方法计算谱图(&S)";
    static constexpr const char* kChooseCaption = "样品分析方法选择";

    // The choice names a method of the document's library, and a curve of that method or
    // none (-1).
    static bool valid(const CChrEDoc& doc, const MethodChoice& choice);

    // "使用该分析方法": the document's method becomes a copy of the library method (its sample
    // information stays the chromatogram's own: device, serial number, company, tester) and,
    // when a curve is chosen, identifies and quantifies with that curve; without one the
    // document keeps no curve, since a curve of its former method does not belong to the
    // new one. False, with nothing changed, for a choice that is not valid.
    static bool use(CChrEDoc& doc, const MethodChoice& choice);

    // "选择分析方法计算谱图(&S)": not while the document is acquiring, since the running
    // detection works with the method it started with.
    static bool canChoose(const CChrEDoc& doc);
    // The dialog's preset: the document's method and curve where they are valid, -1 else.
    static MethodChoice preset(const CChrEDoc& doc);
    // Only the calculation settings, the sample type and the component table of the chosen
    // curve (or of the method without one) change. False, with nothing changed, when the
    // command is not available or the choice is not valid.
    static bool choose(CChrEDoc& doc, const MethodChoice& choice);
};

}  // namespace dgaws
