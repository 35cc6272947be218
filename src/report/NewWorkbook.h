#pragma once

#include <xlsxwriter.h>

#include <string>

namespace dgaws {

// A workbook written whole with libxlsxwriter into a temporary file beside its path; the
// path is replaced only once the workbook is complete, so a failure leaves the previous
// file as it was.
class NewWorkbook {
public:
    // WorkbookError when the temporary file cannot be made. Streaming writes each row to
    // disk as it comes (rows in order only), so memory stays flat however long the sheet.
    explicit NewWorkbook(std::string path, bool streaming = false);
    ~NewWorkbook();
    NewWorkbook(const NewWorkbook&) = delete;
    NewWorkbook& operator=(const NewWorkbook&) = delete;

    lxw_workbook* book() const { return book_; }
    // Writes the workbook and puts it in place; WorkbookError on failure.
    void finish();

private:
    std::string path_;
    std::string temporary_;
    lxw_workbook* book_;
};

}  // namespace dgaws
