#pragma once

#include "acquisition/AcquisitionSettings.h"

#include <array>
#include <string>
#include <utility>
#include <variant>
#include <vector>

namespace dgaws {

class DataRoot;

// The section "System" of the settings, one member per key under the key's own name, with
// the key's default. Read once at start-up, written back as a whole. The keys acquisition
// reads are those of AcquisitionSettings, so the run operations work on this very object.
struct SystemSettings : AcquisitionSettings {
    static constexpr int kRememberedTexts = 10;

    std::array<std::string, kRememberedTexts> Sender;
    std::array<std::string, kRememberedTexts> Dept;
    std::array<std::string, kRememberedTexts> Detector;
    int ViewTree = 1;
    int ViewResult = 0;
    std::string ProjectPath;
    std::string SchemePath;
    std::string ADefaultProg = "QLDefault";
    std::string BDefaultProg = "QLDefault";
    std::string ADefaultCali = "ADefaultCali";
    std::string BDefaultCali = "BDefaultCali";
    // The program that shows text output; xdg-open hands it to the desktop's text editor.
    std::string WordPadPath = "xdg-open";
    std::string LogDirPath;  // written only
    std::string CurLogName;
    std::string DefaultDevice;
    int ShowWaitDlg = 0;
    int PlayConnSound = 0;
    int AutoDelUnusedPeak = 1;
    int ShowUpdateRTimeDlg = 1;
    int LastUpdateRTime = 1;
    int LineInPic = 0;
    int OutGasRateUsed = 1;
    int CacuFrequence = 1;
    std::string XiangBie;
    std::string AutoStartDelay = "2";
    std::string Password;

    // The defaults whose values depend on where the program keeps its files and when it
    // started: the data and method folders, the demonstration data, the log file name.
    static SystemSettings defaults(const DataRoot& root, const std::string& startTimeName);

    // One key and the member that holds it.
    struct Field {
        std::string key;
        std::variant<int*, std::string*> value;
    };
    // Every stored key in table order; LogDirPath is among them although only written.
    std::vector<Field> fields();

    // A card type other than the two known ones counts as 0; false when it was replaced.
    bool normalizeCardType();
    // The point rate chosen on the card page, which divides peak areas: 10, 20 or 50.
    int areaDivisor() const;

    // Minimum rise of the start-signal detection, in mV, as a number (0 when not one).
    double autoStartHeightMillivolts() const;
    // The rise experience says works: 0.2 to 1.0 mV inclusive.
    static bool autoStartHeightUsual(const std::string& text);
    // The twelve baseline-levelling times under their keys, StartA1 .. StopB3.
    std::vector<std::pair<std::string, std::string*>> levellingTimes();
    // The baseline-levelling times as the settings sheet writes them, "%1.3f".
    void formatLevellingTimes();
};

// One integer of the settings file's group "System", or `fallback` when the file or the
// key is missing or the value is not a number. For headless tools that need a single
// setting without the application object.
int readSystemInt(const std::string& settingsFile, const char* key, int fallback);

// A decimal number at the start of a text, 0 when there is none.
double leadingNumber(const std::string& text);
// printf's "%1.3f".
std::string formatMinutes(double minutes);

}  // namespace dgaws
