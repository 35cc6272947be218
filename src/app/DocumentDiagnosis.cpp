#include "DocumentDiagnosis.h"

#include "chromatogram/ChromatogramFile.h"
#include "dga/DgaValues.h"

#include <filesystem>

namespace dgaws {

std::string linkedPathBeside(const std::string& ownPath, const std::string& linked)
{
    const std::filesystem::path p(linked);
    if (p.is_absolute() || ownPath.empty())
        return linked;
    return (std::filesystem::path(ownPath).parent_path() / p).string();
}

std::optional<DiagnosisView> diagnoseDocument(CChrEDoc& doc, DiagnosisEnvironment env,
                                              TestRecordDatabase* db)
{
    if (!env.collect) {
        const std::string own = doc.pathName;
        env.collect = [own](ChromatogramData& data, ChromatogramData& linked) {
            return collectDgaValues(data, linked, own);
        };
    }
    if (!env.readLinked) {
        const std::string own = doc.pathName;
        env.readLinked = [own](const std::string& linked) {
            return readChromatogramFile(linkedPathBeside(own, linked));
        };
    }
    SaveTestStep save;
    if (db != nullptr)
        save = [db](const std::string& company, const std::string& device, TestRecord record) {
            return db->saveTest(company, device, std::move(record));
        };
    auto view = diagnose(doc.data, doc.linkedData, env, save);
    if (view)
        doc.setModifiedFlag(true);
    return view;
}

}  // namespace dgaws
