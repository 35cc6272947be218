#pragma once

#include <QStatusBar>

#include <array>

class QLabel;
class QProgressBar;

namespace dgaws {

// The main frame's status bar: a text pane, the acquisition time, the current voltage, the
// simulation pane, the active chromatogram's sample kind and analysis settings, and a
// progress indicator for long work.
class CProgStatusBar : public QStatusBar {
    Q_OBJECT
public:
    enum Pane { Text = 0, Time = 1, Voltage = 2, Simulation = 3, SampleKind = 4, Analysis = 5 };
    static constexpr int kPanes = 6;

    explicit CProgStatusBar(QWidget* parent = nullptr);

    void setPaneText(int pane, const QString& text);
    QString paneText(int pane) const;
    // Percent done; the indicator shows while the work is under way (1 to 99).
    void onProgress(unsigned int percent);
    QProgressBar* progress() const { return progress_; }

private:
    std::array<QLabel*, kPanes> panes_{};
    QProgressBar* progress_;
};

}  // namespace dgaws
