#pragma once

#include "DgaLimits.h"
#include "DiagnosisEnvironment.h"

#include "chromatogram/ChromatogramData.h"

#include <string>

namespace dgaws {

// Attention values in uL/L.
inline constexpr double kHydrogenAttention = 150.0;
inline constexpr double kAcetyleneAttention = 5.0;
inline constexpr double kTotalHydrocarbonAttention = 150.0;

inline constexpr const char* kContentsNormal = "含量无异常";
inline constexpr const char* kAttentionExceeded = "含量超过注意值";
inline constexpr const char* kHydrogenExceeded = "氢气含量超过了150uL/L，请注意\r\n";
inline constexpr const char* kAcetyleneExceeded = "乙炔含量超过了5uL/L，请注意\r\n";
inline constexpr const char* kTotalHydrocarbonsExceeded = "总烃含量超过了150uL/L，请注意\r\n";

// diagnosisCode once an attention value is exceeded; the judgement is offered from it.
inline constexpr int kAttentionExceededCode = -2;

// The advice line of one exceeded attention value, e.g. "乙炔含量超过了1uL/L，请注意"
// with its CR LF; the values of the default class give the texts above.
std::string attentionExceededText(const char* gasName, double limit);

// Compares hydrogen, acetylene and total hydrocarbons with their attention values and
// writes conclusion, advice and diagnosisCode. Hydrogen and total hydrocarbons exceed at
// their attention value, acetylene only above it.
void compareAttentionValues(ChromatogramData& data, const AttentionLimits& limits = {});

// How a check went, besides what it wrote into the chromatogram.
struct AttentionCheck {
    // The linked chromatogram could not be read: the message naming it and the reason. The
    // check stopped after the collection, which left the own chromatogram's contents.
    std::string linkedError;
    bool ratesComputed = false;
    // Why the rates that OutGasRateUsed asks for were not computed, in words.
    std::string ratesNotComputed;
};

// The message of a linked chromatogram that cannot be read, naming it and the reason.
std::string linkedFileUnreadable(const std::string& path, const std::string& reason);

// The whole check: reset the results, collect the gases, compute the production rates
// when the environment says OutGasRateUsed, then compare with the attention values.
AttentionCheck checkAttentionValues(ChromatogramData& data, ChromatogramData& linkedData,
                                    const DiagnosisEnvironment& env);

}  // namespace dgaws
