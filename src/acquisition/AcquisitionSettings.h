#pragma once

#include <string>

namespace dgaws {

// The settings acquisition reads, under their stored key names and with their stored
// defaults. The application's settings object fills one of these; tests and the command
// line build their own.
struct AcquisitionSettings {
    int CardType = 0;  // 0 DX3300 (DX3310), 1 DX4410
    int ConvertA = 0;  // invert the polarity of channel A
    int ConvertB = 0;
    int AutoBase = 0;  // zero the signal at run start
    int AllStart = 1;
    int AllStop = 0;
    int StopWarning = 1;  // 1 = no beep at the end of a run
    int DirectSave = 0;
    int Merge = 1;
    int MergeAB = 0;  // 0 = B into A, 1 = A into B
    int OpenChannelA = 1;
    int OpenChannelB = 1;
    int UseDefaultCom = 0;
    // The manual connection's default port. Ports are device paths here; /dev/ttyS0 is what
    // the first COM port is on this platform.
    std::string ComPort = "/dev/ttyS0";
    std::string SimDataPath;
    std::string AutoStartHeight = "0.2";  // mV
    std::string StartA1, StartA2, StartA3, StopA1, StopA2, StopA3;
    std::string StartB1, StartB2, StartB3, StopB1, StopB2, StopB3;

    // Not stored: the card type the collector decodes, and the live rate, both taken from
    // `CardType` at start-up (a text import may replace the rate). A card type chosen later
    // takes effect at the next start, so a run never changes its card halfway. The
    // collector always has two channels.
    int liveCardType = 0;
    int pointsPerSecond = 20;
    int channelCount = 2;
    // Scales every wait of the automatic port search; 1 is the real timing.
    double searchWaitScale = 1.0;
    // Where unfinished runs are kept until they are saved.
    std::string autosaveFolder;

    // The rate a card type gives; unknown types count as type 0.
    static int rateForCardType(int cardType) { return cardType == 1 ? 10 : 20; }
    // The point rates the card samples at.
    static bool cardRate(int pointsPerSecond)
    {
        return pointsPerSecond == 10 || pointsPerSecond == 20 || pointsPerSecond == 50;
    }

    // Start and stop (minutes) of baseline-levelling window k (1..3) of a channel; a text
    // that is not a number counts as 0, which switches the window off.
    double levellingStart(int channel, int k) const;
    double levellingStop(int channel, int k) const;
    // The start-signal detection's minimum rise in microvolts.
    double autoStartHeightMicrovolts() const;
};

// Decimal text as the settings hold it, with a point whatever the desktop's locale; 0 when
// it does not start with a number.
double settingNumber(const std::string& text);

}  // namespace dgaws
