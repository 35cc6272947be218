#pragma once

#include "DataRoot.h"

#include <string>

namespace dgaws {

// Where the window's own outputs go unless the operator or a method says otherwise: folders
// under the data root named in the window's language, never the folder the program happened
// to be started from.
std::string defaultWorkbookFolder(const DataRoot& root);  // 工作簿
std::string defaultExportFolder(const DataRoot& root);    // 导出

}  // namespace dgaws
