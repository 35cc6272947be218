#include "DocumentDiagnosis.h"

#include "chromatogram/ChromatogramFile.h"
#include "chromatogram/LinkedChromatogram.h"
#include "dga/DgaValues.h"

namespace dgaws {

std::optional<DiagnosisView> diagnoseDocument(CChrEDoc& doc, DiagnosisEnvironment env,
                                              TestRecordDatabase* db)
{
    const std::string own = doc.pathName;
    const std::string dataFolder = doc.dataFolder;
    if (!env.collect)
        env.collect = [own, dataFolder](ChromatogramData& data, ChromatogramData& linked) {
            return collectDgaValues(data, linked, own, dataFolder);
        };
    if (!env.readLinked)
        env.readLinked = [own, dataFolder](const std::string& linked) {
            return readChromatogramFile(linkedChromatogramPath(linked, own, dataFolder));
        };
    // The device's class in the library sets its attention values and limits.
    env.device = storedDeviceClass(doc, db, env.device);
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

DeviceClass storedDeviceClass(const CChrEDoc& doc, TestRecordDatabase* db,
                              const DeviceClass& fallback)
{
    if (db == nullptr || !db->isOpen())
        return fallback;
    return db->deviceClass(doc.data.method.sendingCompany, doc.data.method.deviceNo)
        .value_or(fallback);
}

}  // namespace dgaws
