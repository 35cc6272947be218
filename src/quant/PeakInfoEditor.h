#pragma once

#include "ComponentTable.h"
#include "StandardRuns.h"

#include "chromatogram/ChromatogramData.h"
#include "chromatogram/MethodFile.h"
#include "chromatogram/MethodLibrary.h"

#include <functional>
#include <string>
#include <vector>

namespace dgaws {

// The operator's standing answer to "更改该组份的保留时间？" (application settings).
struct RetentionTimePrompt {
    int ShowUpdateRTimeDlg = 1;  // non-zero: ask after a manual assignment
    int LastUpdateRTime = 1;     // the answer: 1 change the component's time, 0 keep it
};

// What the operator answered: "需要(&O)" (change) or "不需要(&N)", and whether the box
// "记住这次选择，下次不要问我(&R)" was ticked.
struct UpdateRTimeAnswer {
    bool change = true;
    bool remember = false;
};
using AskUpdateRTime = std::function<UpdateRTimeAnswer()>;

// Where a manual assignment writes: the chromatogram, and the library method it belongs to
// (null when it is not in the library) with the curve the document is linked to (-1 when it
// uses its own table). `save` writes the library method back.
struct PeakInfoContext {
    ChromatogramData* data = nullptr;
    MethodLibraryEntry* libraryMethod = nullptr;
    int curveIndex = -1;
    MethodSaver save = saveMethodFile;
};

// What the caller does after OK: show `message`, then evaluate with `evaluateMask` (0: the
// dialog changed nothing). `saveError` tells that the library method could not be written;
// the library entry is then as it was.
struct PeakInfoResult {
    std::string message;
    int evaluateMask = 0;
    std::string saveError;
};

// The fields the dialog shows for the peak, formatted.
struct PeakInfoFields {
    std::string number;
    std::string retentionTime;
    std::string areaPercent;
    std::string startTime;
    std::string endTime;
    std::string apexTime;
    std::string height;
    std::string area;
    std::string type;
    std::string halfWidth;
    std::string tailingFactor;
    std::string resolution;
    std::string plates;
};

// The peak information dialog ("峰信息") without its widgets: manual identification of one
// peak, adding it as a new component, moving a component's retention time to the peak, and
// deleting a component, with the texts and questions the operator sees.
class PeakInfoEditor {
public:
    static constexpr const char* kUnknownChoice = "未知组份";
    static constexpr const char* kOutOfOrder = "您选择组份按照当前峰的保留时间，已经小于前面确定的"
                                               "组份的保留时间，请按出峰时间顺序手动定性。";
    static constexpr const char* kTickAddNew = "如果您是在添加新组份，请勾选“添加新组份到组份表”";
    static constexpr const char* kNotInTable =
        "组份表不存在该组份，如果您要添加，请勾选“添加新组份到组份表”";
    static constexpr const char* kConfirmDelete = "真的要从组份表中删除[%s]组份吗?";
    static constexpr const char* kDuplicateComponent = "存在同名组份，请重新选择";

    PeakInfoEditor(PeakInfoContext context, int peakIndex);

    bool validPeak() const;
    const PeakRecord& peak() const;
    PeakInfoFields fields() const;

    // The component table the document identifies with: the linked curve's, or its own.
    const ComponentTable& table() const;
    bool linked() const;
    // The peak names a valid entry under that entry's own name.
    bool identified() const;

    // The combo box: every entry's name in table order, then "未知组份".
    std::vector<std::string> componentChoices() const;
    int selectedChoice() const { return selected_; }
    bool addNewTicked() const { return addNew_; }
    void setAddNew(bool ticked) { addNew_ = ticked; }
    // "组份号:" and "时间窗带:" of the selected entry; a new entry's 0 and 0.05 otherwise.
    int shownComponentNumber() const;
    double shownTimeWindow() const;

    // A choice in the combo box with the dialog's (edited) retention time; returns the refusal
    // text when an entry before the chosen one elutes after that time (the selection is then
    // cleared).
    std::string choose(int choice, double retentionTime);

    // OK with the combo's text, the dialog's retention time and window.
    PeakInfoResult accept(const std::string& name, double retentionTime, double timeWindow,
                          RetentionTimePrompt& prompt, const AskYesNo& ask,
                          const AskUpdateRTime& askUpdate);

private:
    PeakRecord& mutablePeak();
    ComponentTable& ownTable();
    CalibrationCurve* linkedCurve() const;
    PeakInfoResult deleteComponent(const AskYesNo& ask);
    PeakInfoResult addComponent(const std::string& name, double retentionTime, double timeWindow);
    // Applies a change to a copy of the library method and writes it; false with the reason
    // when it could not be written.
    bool changeLibrary(const std::function<void(MethodLibraryEntry&)>& change, std::string& error);

    PeakInfoContext ctx_;
    int peakIndex_;
    int selected_ = -1;
    bool addNew_ = false;
};

}  // namespace dgaws
