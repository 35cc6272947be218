// The window's tests, one QtTest class per suite; CTest runs each suite on its own.
#include <QApplication>
#include <QByteArray>

#include <cstdio>
#include <map>
#include <string>

int runMainFrameTests(int argc, char** argv);
int runDocumentCommandTests(int argc, char** argv);
int runResultTableTests(int argc, char** argv);
int runGraphViewTests(int argc, char** argv);
int runSettingsDialogTests(int argc, char** argv);
int runConnectionWidgetTests(int argc, char** argv);
int runRunTests(int argc, char** argv);
int runMethodChoiceTests(int argc, char** argv);
int runDiagnosisTests(int argc, char** argv);
int runPeakEditTests(int argc, char** argv);
int runWorkbookTests(int argc, char** argv);
int runReportTests(int argc, char** argv);
int runDatabaseTests(int argc, char** argv);
int runCalibrationTests(int argc, char** argv);
int runMethodSheetTests(int argc, char** argv);
int runDataExchangeTests(int argc, char** argv);
int runMultiChromatogramTests(int argc, char** argv);
int runBatchTests(int argc, char** argv);

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const std::map<std::string, int (*)(int, char**)> suites = {
        {"MainFrame", runMainFrameTests},
        {"DocumentCommands", runDocumentCommandTests},
        {"ResultTable", runResultTableTests},
        {"GraphView", runGraphViewTests},
        {"SettingsDialogs", runSettingsDialogTests},
        {"ConnectionWidgets", runConnectionWidgetTests},
        {"Run", runRunTests},
        {"MethodChoice", runMethodChoiceTests},
        {"Diagnosis", runDiagnosisTests},
        {"PeakEdit", runPeakEditTests},
        {"Workbooks", runWorkbookTests},
        {"Reports", runReportTests},
        {"Database", runDatabaseTests},
        {"Calibration", runCalibrationTests},
        {"MethodSheet", runMethodSheetTests},
        {"DataExchange", runDataExchangeTests},
        {"MultiChromatogram", runMultiChromatogramTests},
        {"Batch", runBatchTests},
    };
    // test_ui [SUITE [QtTest options...]]: without a suite every suite runs.
    if (argc > 1 && argv[1][0] != '-') {
        const auto it = suites.find(argv[1]);
        if (it == suites.end()) {
            std::fprintf(stderr, "unknown suite %s\n", argv[1]);
            return 2;
        }
        argv[1] = argv[0];
        return it->second(argc - 1, argv + 1);
    }
    int failed = 0;
    for (const auto& [name, run] : suites)
        failed += run(argc, argv);
    return failed;
}
