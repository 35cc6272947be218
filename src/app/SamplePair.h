#pragma once

namespace dgaws {

class CChrEDoc;

// Channels A and B of one injection are one sample: what identifies it (sending company,
// device, serial number, tester, injection time) is entered once and kept in both, so that
// either chromatogram, its test record and the summaries name the same sample.

// True when the two documents are the two channels of one sample: the live windows of
// channels A and B, or a chromatogram and the one its linked file names.
bool samePair(const CChrEDoc& a, const CChrEDoc& b);

// `to` takes the sample's identity from `from`; marked modified when anything changed.
// False when nothing did.
bool shareSampleInformation(const CChrEDoc& from, CChrEDoc& to);

}  // namespace dgaws
