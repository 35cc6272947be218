#include "DocumentInterchange.h"

#include "chromatogram/AiaFile.h"
#include "chromatogram/ChromatogramFile.h"
#include "chromatogram/ChromatogramMerge.h"
#include "chromatogram/Interchange.h"

namespace dgaws::document_interchange {
namespace {

template <class Write> Result<void> exportWith(CChrEDoc& doc, Write&& write)
{
    if (!doc.data.hasData || doc.data.signal.count() == 0)
        return doc.fail(kExportNoData);
    if (doc.acquiring())
        return doc.fail(kExportAcquiring);
    try {
        write();
    } catch (const std::exception& e) {
        return doc.fail(withReason(kExportFailed, e.what()));
    }
    return {};
}

template <class Read>
Result<void> importWith(CChrEDoc& doc, const std::string& logPattern, const std::string& path,
                        Read&& read)
{
    ChromatogramData loaded;
    try {
        loaded = read();
    } catch (const std::exception& e) {
        return Failure{e.what()};
    }
    // A file brings only its samples (and peaks for AIA); the new document's method,
    // with the display range the file gave, stays.
    const AnalysisMethod method = doc.data.method;
    const double timeEnd = loaded.method.timeEnd, levelMin = loaded.method.levelMin,
                 levelMax = loaded.method.levelMax;
    doc.data = std::move(loaded);
    doc.forgetEditing();
    doc.data.method = method;
    doc.data.method.timeEnd = timeEnd;
    doc.data.method.levelMin = levelMin;
    doc.data.method.levelMax = levelMax;
    doc.state = CChrEDoc::FromFile;
    doc.log(formatText(logPattern.c_str(), fileNameOf(path)));
    return {};
}

}  // namespace

Result<void> exportCdf(CChrEDoc& doc, const std::string& path)
{
    return exportWith(doc, [&] { dgaws::exportCdf(doc.data, path, doc.pathName); });
}

Result<void> saveText(CChrEDoc& doc, const std::string& path, TextLayout layout)
{
    return exportWith(doc, [&] { dgaws::saveText(doc.data, path, layout); });
}

Result<void> importCdf(CChrEDoc& doc, const std::string& path, int currentRate)
{
    return importWith(doc, kCdfOpenedLog, path,
                      [&] { return dgaws::importCdf(path, currentRate); });
}

Result<void> loadText(CChrEDoc& doc, const std::string& path, TextLayout layout, int currentRate)
{
    return importWith(doc, textOpenedLog(layout), path,
                      [&] { return dgaws::loadText(path, layout, currentRate); });
}

Result<void> mergeWith(CChrEDoc& doc, const std::string& chosenPath, bool chosenFirst)
{
    // The run's points keep arriving at the end of its signal, which a merge would move.
    if (doc.acquiring())
        return doc.fail(kExportAcquiring);
    ChromatogramData chosen;
    try {
        chosen = readChromatogramFile(chosenPath);
    } catch (const std::exception& e) {
        return doc.fail(withReason(CChrEDoc::kLoadFailed, e.what()));
    }
    doc.acquiredCount = mergeChromatograms(doc.data, chosen, chosenFirst);
    if (doc.data.hasData)
        doc.reprocess();
    else
        doc.setModifiedFlag(true);
    return {};
}

}  // namespace dgaws::document_interchange
