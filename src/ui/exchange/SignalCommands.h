#pragma once

#include <QList>
#include <QObject>

#include <functional>

class QAction;
class QMenu;
class QWidget;

namespace dgaws {

class CChildFrame;
class OperatorPrompts;

// The chromatogram window's signal commands: smoothing, the two baseline subtractions and
// the restore, the separation of all peaks along the drift, the noise close-up and the
// linked chromatogram's toggle. Each change of the signal is one undo step.
class SignalCommands : public QObject {
    Q_OBJECT
public:
    static constexpr const char* kSmooth = "谱图平滑(&S)";
    static constexpr const char* kSmoothCaption = "谱图平滑参数";
    static constexpr const char* kSmoothWidth = "归并点数:";
    static constexpr int kSmoothPreset = 4;
    static constexpr const char* kOwnDrift = "根据自身漂移扣除基线(&B)";
    static constexpr const char* kBaselineChromatogram = "根据基线谱图扣除基线(&G)";
    static constexpr const char* kBaselineCaption = "基线文件";
    static constexpr const char* kRestore = "恢复被扣除基线的谱图(&R)";
    static constexpr const char* kSeparate = "根据漂移分离所有峰为独立峰";
    static constexpr const char* kNoise = "查看当前电压±20uv谱图检查噪音";
    static constexpr const char* kLinked = "显示关联谱图";

    SignalCommands(OperatorPrompts& prompts, QWidget* parent);

    // Puts the commands into `menu`; they act on the frame `activeFrame` answers then.
    void addTo(QMenu* menu, std::function<CChildFrame*()> activeFrame);
    // Enabled while a window is active; the signal changes also need it not to be running.
    void update(const CChildFrame* active);

    // Each true when the document changed.
    bool smooth(CChildFrame& frame);
    bool subtractOwnDrift(CChildFrame& frame);
    bool subtractBaseline(CChildFrame& frame);
    bool restore(CChildFrame& frame);
    bool separate(CChildFrame& frame);
    void noiseCloseUp(CChildFrame& frame);

private:
    void changed(CChildFrame& frame, bool done);

    OperatorPrompts& prompts_;
    QList<QAction*> changing_;
    QList<QAction*> viewing_;
    QAction* linked_ = nullptr;
};

}  // namespace dgaws
