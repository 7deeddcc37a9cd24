// velsona: the recorder's window.
#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QSocketNotifier>
#include <QTranslator>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "app/control/ModuleReport.h"
#include "app/control/StopSignals.h"
#include "platform/RuntimeModule.h"
#include "schedule/CommandLine.h"
#include "ui/MainFrame.h"

#ifndef VELSONA_VERSION
#define VELSONA_VERSION "unknown"
#endif

namespace {

constexpr const char* kUsage =
    "Usage: velsona [/S start] [/T duration] [/E action] [/P preset]\n"
    "Opens the recorder's window; with /S, /T or /E it starts recording at once.\n"
    "  /S NOW | HM=21:00 | HMS=21:00:00 | \"YMDHM=2026/12/24 21:00\" | \"YMDHMS=2026/12/24 21:00:00\"\n"
    "                      when to start (a time before 06:00 given after 20:00 means tomorrow)\n"
    "  /T MS=90:00 | HMS=1:30:00   stop after this much recorded time\n"
    "  /E exit | shutdown | suspend | hibernate\n"
    "                      what follows a recording that ran its full duration\n"
    "  /P name             the preset to load (default: (デフォルト設定))\n"
    "  --help, --version   print this, or the version, modules and manual, and exit\n"
    "Audio comes from PulseAudio (or ALSA); VELSONA_CAPTURE=signal:SPEC records a test signal.\n"
    "Settings: ~/.config/MORV/VelsonaF.conf. velsona-rec records without a window.\n";

// Ctrl+C in a terminal and SIGTERM at logout close the window as its close command does, so the
// last track is finished and named and the settings are saved.
void CloseOnStopSignals(QWidget& window) {
    const int stopRequests = InstallStopSignals(false);
    if (stopRequests < 0) return;
    auto* notifier = new QSocketNotifier(stopRequests, QSocketNotifier::Read, &window);
    QObject::connect(notifier, &QSocketNotifier::activated, &window, [&window] {
        if (TakeStopRequest()) window.close();
    });
}

}  // namespace

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (std::strcmp(argv[i], "--version") == 0) {
            const QString manual = ManualPath(QString::fromStdString(ProgramFolder().str()));
            std::printf("%sManual: %s\n", VersionText("velsona", VELSONA_VERSION).c_str(),
                        manual.isEmpty() ? "not found" : manual.toUtf8().constData());
            return 0;
        }
    }
    IgnoreWriteSignals();

    QApplication application(argc, argv);
    application.setApplicationName(QStringLiteral("velsona"));
    application.setDesktopFileName(QStringLiteral("velsona"));
    // The window speaks Japanese, so its standard buttons do too.
    QTranslator translator;
    if (translator.load(QLocale(QLocale::Japanese), QStringLiteral("qtbase"), QStringLiteral("_"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        application.installTranslator(&translator);

    // The shell has already split the words (a quoted value with blanks stays one word).
    std::vector<CCharString> words;
    const QStringList arguments = QCoreApplication::arguments();
    for (qsizetype i = 1; i < arguments.size(); ++i) words.emplace_back(arguments[i].toUtf8().toStdString());
    const CommandLineOptions commandLine = ParseCommandLine(words, std::time(nullptr));

    CMainFrame frame(nullptr, {});
    CloseOnStopSignals(frame);
    frame.show();
    frame.Start(commandLine);
    return application.exec();
}
