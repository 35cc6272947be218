#include "DocumentInterchange.h"

#include "chromatogram/AiaFile.h"
#include "chromatogram/ChromatogramFile.h"
#include "chromatogram/ChromatogramMerge.h"
#include "chromatogram/Interchange.h"

namespace dgaws::document_interchange {
namespace {

bool exportAllowed(const CChrEDoc& doc)
{
    if (doc.data.hasData == 0 || doc.data.signal.count() == 0) {
        doc.message(kExportNoData);
        return false;
    }
    if (doc.acquiring == 1) {
        doc.message(kExportAcquiring);
        return false;
    }
    return true;
}

template <class Write>
bool exportWith(CChrEDoc& doc, Write&& write)
{
    if (!exportAllowed(doc))
        return false;
    try {
        write();
    } catch (const std::exception&) {
        doc.message(kExportFailed);
        return false;
    }
    return true;
}

template <class Read>
bool importWith(CChrEDoc& doc, const std::string& logPattern, const std::string& path,
                std::string* error, Read&& read)
{
    ChromatogramData loaded;
    try {
        loaded = read();
    } catch (const std::exception& e) {
        if (error)
            *error = e.what();
        return false;
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
    return true;
}

}  // namespace

bool exportCdf(CChrEDoc& doc, const std::string& path)
{
    return exportWith(doc, [&] { dgaws::exportCdf(doc.data, path, doc.pathName); });
}

bool saveText(CChrEDoc& doc, const std::string& path, TextLayout layout)
{
    return exportWith(doc, [&] { dgaws::saveText(doc.data, path, layout); });
}

bool importCdf(CChrEDoc& doc, const std::string& path, int currentRate, std::string* error)
{
    return importWith(doc, kCdfOpenedLog, path, error,
                      [&] { return dgaws::importCdf(path, currentRate); });
}

bool loadText(CChrEDoc& doc, const std::string& path, TextLayout layout, int currentRate,
              std::string* error)
{
    return importWith(doc, textOpenedLog(layout), path, error,
                      [&] { return dgaws::loadText(path, layout, currentRate); });
}

bool mergeWith(CChrEDoc& doc, const std::string& chosenPath, bool chosenFirst)
{
    ChromatogramData chosen;
    try {
        chosen = readChromatogramFile(chosenPath);
    } catch (const std::exception&) {
        doc.message(CChrEDoc::kLoadFailed);
        return false;
    }
    doc.acquiredCount = mergeChromatograms(doc.data, chosen, chosenFirst);
    if (doc.acquiring != 1 && doc.data.hasData == 1)
        doc.reprocess();
    else
        doc.setModifiedFlag(true);
    return true;
}

}  // namespace dgaws::document_interchange
