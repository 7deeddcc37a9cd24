// velsona: the recorder's window.
#include <QApplication>
#include <QSocketNotifier>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <string>

#include "app/control/ModuleReport.h"
#include "app/control/StopSignals.h"
#include "app/language/Catalogue.h"
#include "platform/RuntimeModule.h"
#include "schedule/CommandLine.h"
#include "ui/MainFrame.h"
#include "ui/SocketPaints.h"

#ifndef VELSONA_VERSION
#define VELSONA_VERSION "unknown"
#endif

namespace {

struct OptionHelp {
    const char* spelling;  // as typed, in every language
    const char* explanation;  // a catalogue entry
};
constexpr OptionHelp kOptions[] = {
    {"/S NOW | HM=21:00 | HMS=21:00:00 | \"YMDHM=2026/12/24 21:00\" | \"YMDHMS=2026/12/24 21:00:00\"",
     QT_TRANSLATE_NOOP("WindowProgram", "録音を開始する日時（20:00 以降に 06:00 より前の時刻を指定すると翌日）")},
    {"/T MS=90:00 | HMS=1:30:00", QT_TRANSLATE_NOOP("WindowProgram", "録音した時間がこの長さに達したら停止します")},
    {"/E exit | shutdown | suspend | hibernate",  // untranslated: the actions' spellings
     QT_TRANSLATE_NOOP("WindowProgram", "録音時間いっぱいまで録音したあとに実行するアクション")},
    {"/P NAME", QT_TRANSLATE_NOOP("WindowProgram", "読み込むプリセット（省略時: (デフォルト設定)）")},
    {"--help, --version",
     QT_TRANSLATE_NOOP("WindowProgram", "この説明、またはバージョン・モジュール・マニュアルを表示して終了します")},
};
constexpr size_t kExplanationColumn = 22;

std::string Usage() {
    std::string usage =
        SaidUtf8(UserText("WindowProgram", "使用法: velsona [/S 開始] [/T 録音時間] [/E 終了時のアクション] [/P プリセット]")) +
        '\n' + SaidUtf8(UserText("WindowProgram", "録音機のウィンドウを開きます。/S、/T、/E を付けるとすぐに録音を始めます。")) + '\n';
    for (const OptionHelp& option : kOptions) {
        std::string line = std::string("  ") + option.spelling;
        // A long spelling gets its explanation on a line of its own, as help2man reads it.
        line = line.size() + 2 > kExplanationColumn ? line + '\n' + std::string(kExplanationColumn, ' ')
                                                    : line + std::string(kExplanationColumn - line.size(), ' ');
        usage += line + SaidUtf8(UserText("WindowProgram", option.explanation)) + '\n';
    }
    return usage +
           SaidUtf8(UserText("WindowProgram", "音声は PulseAudio（または ALSA）から録音します。"
                                              "VELSONA_CAPTURE=signal:SPEC でテスト信号を録音します。")) +
           '\n' +
           SaidUtf8(UserText("WindowProgram", "設定: ~/.config/MORV/VelsonaF.conf。"
                                              "ウィンドウなしで録音するには velsona-rec を使います。")) +
           '\n';
}

// Ctrl+C in a terminal and SIGTERM at logout close the window as its close command does, so the
// last track is finished and named and the settings are saved, a box open or not.
void CloseOnStopSignals(CMainFrame& window) {
    const int stopRequests = InstallStopSignals(false);
    if (stopRequests < 0) return;
    auto* notifier = new QSocketNotifier(stopRequests, QSocketNotifier::Read, &window);
    QObject::connect(notifier, &QSocketNotifier::activated, &window, [&window] {
        if (TakeStopRequest()) window.CloseOnRequest();
    });
}

}  // namespace

int main(int argc, char** argv) {
    // A missing translation leaves the texts in Japanese, the catalogue's source; the window still opens.
    if (const Result<void> language =
            UseLanguage(LanguageFromEnvironment(), TranslationsFolder(ProgramFolder().str()));
        !language)
        std::fprintf(stderr, "velsona: %s\n", SaidUtf8(language.error().message).c_str());
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(Usage().c_str(), stdout);
            return 0;
        }
        if (std::strcmp(argv[i], "--version") == 0) {
            const QString manual = ManualPath(QString::fromStdString(ProgramFolder().str()));
            const UserText where = manual.isEmpty() ? UserText("WindowProgram", "見つかりません")
                                                    : UserText::Verbatim(manual.toStdString());
            std::printf("%s%s\n", VersionText("velsona", VELSONA_VERSION).c_str(),
                        SaidUtf8(UserText("WindowProgram", "マニュアル: %1").Arg(where)).c_str());
            return 0;
        }
    }
    IgnoreWriteSignals();

    CSocketPaints socketPaints;
    QApplication application(argc, argv);
    socketPaints.Connected();
    application.setApplicationName(QStringLiteral("velsona"));
    application.setDesktopFileName(QStringLiteral("velsona"));
    // Qt's own dialogs and standard buttons speak the window's language.
    InstallTranslators(application);

    // The shell has already split the words (a quoted value with blanks stays one word).
    std::vector<CCharString> words;
    const QStringList arguments = QCoreApplication::arguments();
    for (qsizetype i = 1; i < arguments.size(); ++i) words.emplace_back(arguments[i].toUtf8().toStdString());
    const CommandLineOptions commandLine = ParseCommandLine(words, std::time(nullptr));
    // Also where a desktop's launcher keeps a program's output; the window shows them too.
    for (const IgnoredWord& word : commandLine.ignored)
        std::fprintf(stderr, "velsona: %s\n", SaidUtf8(IgnoredWordWarning(word)).c_str());

    CMainFrame frame(nullptr, {});
    CloseOnStopSignals(frame);
    frame.show();
    frame.Start(commandLine);
    // A stop request answered a box of the start: the window has already closed.
    if (!frame.isVisible()) return 0;
    return application.exec();
}
