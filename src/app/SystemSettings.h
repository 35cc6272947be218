#pragma once

#include <array>
#include <string>
#include <variant>
#include <vector>

namespace dgaws {

class DataRoot;

// The section "System" of the settings, one member per key under the key's own name, with
// the key's default. Read once at start-up, written back as a whole.
struct SystemSettings {
    static constexpr int kRememberedTexts = 10;

    std::array<std::string, kRememberedTexts> Sender;
    std::array<std::string, kRememberedTexts> Dept;
    std::array<std::string, kRememberedTexts> Detector;
    int ComPort = 1;
    int UseDefaultCom = 0;
    int ViewTree = 1;
    int ViewResult = 0;
    std::string ProjectPath;
    std::string SchemePath;
    std::string ADefaultProg = "QLDefault";
    std::string BDefaultProg = "QLDefault";
    std::string ADefaultCali = "ADefaultCali";
    std::string BDefaultCali = "BDefaultCali";
    std::string SimDataPath;
    // The program that shows text output; xdg-open hands it to the desktop's text editor.
    std::string WordPadPath = "xdg-open";
    std::string LogDirPath;  // written only
    std::string CurLogName;
    std::string DefaultDevice;
    int ShowWaitDlg = 0;
    int PlayConnSound = 0;
    int OpenChannelA = 1;
    int OpenChannelB = 1;
    int AllStart = 1;
    int AllStop = 0;
    int ConvertA = 0;
    int ConvertB = 0;
    int AutoBase = 0;
    int StopWarning = 1;
    int AutoDelUnusedPeak = 1;
    int DirectSave = 0;
    int ShowUpdateRTimeDlg = 1;
    int LastUpdateRTime = 1;
    int LineInPic = 0;
    int OutGasRateUsed = 1;
    int Merge = 1;
    int MergeAB = 0;
    int CardType = 0;
    int CacuFrequence = 1;
    std::array<std::string, 3> StartA, StopA, StartB, StopB;  // keys StartA1 .. StopB3
    std::string XiangBie;
    std::string AutoStartHeight = "0.2";
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
    // Points per second of a live run: 20 for card type 0, 10 for card type 1.
    int pointsPerSecond() const { return CardType == 1 ? 10 : 20; }
    // The point rate chosen on the card page, which divides peak areas: 10, 20 or 50.
    int areaDivisor() const;

    // Minimum rise of the start-signal detection, in mV, as a number (0 when not one).
    double autoStartHeightMillivolts() const;
    // The rise experience says works: 0.2 to 1.0 mV inclusive.
    static bool autoStartHeightUsual(const std::string& text);
    // The baseline-levelling times as the settings sheet writes them, "%1.3f".
    void formatLevellingTimes();
};

// A decimal number at the start of a text, 0 when there is none.
double leadingNumber(const std::string& text);
// printf's "%1.3f".
std::string formatMinutes(double minutes);

}  // namespace dgaws
