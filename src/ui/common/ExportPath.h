#pragma once

#include <QString>

#include <string>

namespace dgaws {

class CChrEDoc;

// The chromatogram's name without folder, extension or modified mark.
QString documentBaseName(const CChrEDoc& doc);

// Where an export of a chromatogram is proposed: beside its file, or, for one never saved,
// in `exportFolder` (created here, so the save dialog opens in it), never in whatever folder
// the program was started from.
QString exportProposal(const CChrEDoc& doc, const std::string& exportFolder, const QString& suffix);

}  // namespace dgaws
