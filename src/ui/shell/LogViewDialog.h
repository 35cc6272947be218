#pragma once

#include "app/CLogManage.h"

#include <QDialog>

class QTableWidget;

namespace dgaws {

// "查看日志(&L)": the event log's entries, newest first, at most the last 500.
class LogViewDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr int kMaxShown = 500;

    explicit LogViewDialog(const CLog& entries, QWidget* parent = nullptr);

    QTableWidget* table() const { return table_; }

private:
    QTableWidget* table_;
};

}  // namespace dgaws
