#include "NewWorkbook.h"

#include "XlsxWorkbook.h"

#include <filesystem>
#include <unistd.h>

namespace dgaws {

namespace {

lxw_workbook* openWorkbook(const std::string& path, bool streaming)
{
    lxw_workbook_options options{};
    options.constant_memory = streaming ? LXW_TRUE : LXW_FALSE;
    return workbook_new_opt(path.c_str(), &options);
}

}  // namespace

NewWorkbook::NewWorkbook(std::string path, bool streaming)
    : path_(std::move(path)), temporary_(path_ + ".tmp" + std::to_string(::getpid())),
      book_(openWorkbook(temporary_, streaming))
{
    if (!book_)
        throw WorkbookError("无法写入" + path_);
}

NewWorkbook::~NewWorkbook()
{
    if (!book_)
        return;
    // libxlsxwriter cannot drop a workbook unwritten; the unfinished file goes away instead.
    workbook_close(book_);
    std::error_code ec;
    std::filesystem::remove(temporary_, ec);
}

void NewWorkbook::finish()
{
    const lxw_error closed = workbook_close(book_);
    book_ = nullptr;
    std::error_code ec;
    if (closed == LXW_NO_ERROR)
        std::filesystem::rename(temporary_, path_, ec);
    if (closed != LXW_NO_ERROR || ec) {
        std::filesystem::remove(temporary_, ec);
        throw WorkbookError("无法写入" + path_);
    }
}

}  // namespace dgaws
