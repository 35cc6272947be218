#pragma once

#include "app/ResultRows.h"

#include <QTableWidget>

#include <functional>
#include <vector>

class QAction;

namespace dgaws {

class CChrEDoc;
class OperatorPrompts;

// The result table of a chromatogram window: one row per peak and the totals row, built
// from the document on demand, with its context menu.
class CResultListView : public QTableWidget {
    Q_OBJECT
public:
    static constexpr const char* kCannotOpenClipboard = "不能打开剪贴板";
    static constexpr const char* kCannotEmptyClipboard = "不能清空剪贴板";
    static constexpr const char* kCannotSetClipboard = "Unable to set Clipboard data";
    static constexpr const char* kNoSpreadsheet = "无法启动Excel服务器!";

    explicit CResultListView(QWidget* parent = nullptr);

    void setDocument(CChrEDoc* doc);
    void setPrompts(OperatorPrompts* prompts) { prompts_ = prompts; }
    // Where the table is written for the spreadsheet program.
    void setSpreadsheetFolder(const QString& folder) { spreadsheetFolder_ = folder; }

    bool showEfficiency() const { return options_.showEfficiency; }
    bool showAllPeaks() const { return options_.showAllPeaks; }
    bool showGroups() const { return showGroups_; }

    // The context-menu commands.
    void refreshResults();     // "手动刷新结果(&R)"
    void selectAllRows();      // "选中全部(&A)"
    void clearSelectedRows();  // "取消选中(&C)"
    void copySelection();      // "复制选择内容(&D)"
    bool openSpreadsheet();    // "打开EXCEL(&O)"
    void toggleEfficiency();   // "显示柱效果指标(&E)"
    void toggleAllPeaks();     // "显示所有峰(&P)"
    void toggleGroups();       // "显示分组结果(&G)"

    // The rows as shown, and the selected row numbers in the order they were selected.
    const std::vector<ResultRows::Row>& rows() const { return rows_; }
    const std::vector<int>& selectionOrder() const { return selectionOrder_; }
    QList<QAction*> contextActions() const { return menuActions_; }

signals:
    // A peak row was clicked: the document's selected peak changed, the graph redraws.
    void peakSelected(int peakIndex);

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void rebuildColumns();
    void fillPeakRows();
    void fillGroupRows();
    void widenToContents();
    void onCellClicked(int row);
    void trackSelection();
    QAction* addCommand(const char* text, std::function<void()> command, bool checkable = false);

    CChrEDoc* doc_ = nullptr;
    OperatorPrompts* prompts_ = nullptr;
    ResultRows::Options options_;
    bool showGroups_ = false;
    std::vector<ResultRows::Row> rows_;
    std::vector<int> selectionOrder_;
    QList<QAction*> menuActions_;
    QAction* efficiencyAction_ = nullptr;
    QAction* allPeaksAction_ = nullptr;
    QAction* groupsAction_ = nullptr;
    QString spreadsheetFolder_;
};

}  // namespace dgaws
