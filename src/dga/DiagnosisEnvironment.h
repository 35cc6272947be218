#pragma once

#include "DgaLimits.h"
#include "DgaValues.h"

#include "chromatogram/ChromatogramData.h"

#include <functional>
#include <string>

namespace dgaws {

// What the diagnosis needs from its surroundings. The GUI answers with dialogs and message
// boxes, the command line with its flags and stderr, the tests with scripted answers.
struct DiagnosisEnvironment {
    // Fills gasInOil and totalHydrocarbons of `data` from its peaks and those of the linked
    // chromatogram (read into `linkedData`); runs right after the results are reset.
    std::function<DgaCollection(ChromatogramData& data, ChromatogramData& linkedData)> collect;
    // The setting OutGasRateUsed.
    bool outGasRateUsed = true;
    // The transformer's class, which sets its attention values.
    DeviceClass device;
    // A Yes/No question; true is Yes. Without an answerer every question is answered No.
    std::function<bool(const std::string& question)> ask;
    // A message box.
    std::function<void(const std::string& text)> showMessage;
    // Reads the linked chromatogram; throws on failure. Unset: the chromatogram file reader.
    std::function<ChromatogramData(const std::string& path)> readLinked;

    bool askYesNo(const std::string& question) const { return ask && ask(question); }
    void message(const std::string& text) const
    {
        if (showMessage)
            showMessage(text);
    }
};

}  // namespace dgaws
