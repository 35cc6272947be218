#pragma once

#include <QPageLayout>

#include <string>

namespace dgaws {

// The paper reports are printed on: A4 portrait unless the operator chose otherwise in
// "打印设置(&R)". Kept in the settings file (group "Print"); the report's own margins apply.
QPageLayout loadPageLayout(const std::string& settingsFile);
void savePageLayout(const std::string& settingsFile, const QPageLayout& layout);

}  // namespace dgaws
