// A main window for one test: private settings and output folder, the signal source, and
// scripted answers to its questions.
#pragma once

#include <QString>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "ui/MainFrame.h"
#include "ui/MessageBoxes.h"
#include "tests/support/TempDir.h"
#include "tests/support/UserLanguage.h"

// Answers questions from a script and records everything it was shown.
class ScriptedBoxes : public IMessageBoxes {
public:
    std::deque<BoxAnswer> answers;  // taken in order; an empty script answers Cancel
    std::function<bool(QDialog&)> runDialog;  // fills and ends a dialog; none cancels
    QString chosenFolder;  // the folder browser's answer; empty cancels
    // Called with each question before it is answered, e.g. to take a screenshot.
    std::function<void(const QString&, BoxButtons)> onAsk;
    std::vector<QString> asked, informed, warned, refused;

    BoxAnswer Ask(const QString& text, BoxButtons buttons) override;
    void Inform(const QString& text) override { informed.push_back(text); }
    void Warn(const QString& text) override { warned.push_back(text); }
    void Refuse(const QString& text) override { refused.push_back(text); }
    void About(const QString&, const QString& text) override { informed.push_back(text); }
    bool Run(QDialog& dialog) override { return runDialog && runDialog(dialog); }
    QString ChooseFolder(const QString&) override { return chosenFolder; }
};

class WindowRig {
public:
    // `signal` is the signal source's spec; the settings record WAV into the rig's folder.
    // Without `userTimers` the schedule lies in the rig's folder and the window runs its entries;
    // with them, it is the user's, run by the user manager the test program was given.
    explicit WindowRig(const std::string& signal = "tone=440hz/-12db/1s,silence=500ms,loop,fast",
                       const CommandLineOptions& commandLine = {},
                       std::function<std::time_t()> clock = [] { return std::time(nullptr); }, bool userTimers = false);
    ~WindowRig();

    std::string folder() const { return dir / "rec"; }
    // Waits, handling events, until `done` holds; false after `ms`.
    static bool WaitFor(const std::function<bool()>& done, int ms = 20000);
    // Waits until the recording's track `track` holds some audio (300 ms).
    bool WaitForTrack(int track) const;
    // The final names of the list's rows.
    std::vector<std::string> RowNames() const;
    // Saves a picture of `widget` under the build folder's screenshots.
    static void Screenshot(QWidget& widget, const char* name);
    // Replaces what a field holds as a user does: Ctrl+A, then the text typed (or Delete).
    static void TypeOver(QWidget* field, const QString& text);

    TempDir dir;
    ScriptedBoxes boxes;
    std::unique_ptr<CMainFrame> frame;
    std::vector<QUrl> opened;  // what the window asked the desktop to open
    std::function<bool(const QUrl&)> desktopHandler;  // the window's own, which the rig replaces
};

// The user's language for the window's widgets too (tr(), Qt's standard buttons), back to
// Japanese with Qt's Japanese buttons at the end of the scope.
class WindowLanguage {
public:
    explicit WindowLanguage(Language language);
    ~WindowLanguage();
    bool active() const { return m_language->active(); }
    // "en" or "ja", for the names of screenshots and test cases.
    static const char* Code(Language language) { return language == Language::kEnglish ? "en" : "ja"; }

private:
    std::optional<UserLanguage> m_language;
};

// Walks what a screen reader meets under `node` and expects a name on every control; `where`
// names the way down, `controls` counts them.
class QAccessibleInterface;
void ExpectNamed(QAccessibleInterface* node, const std::string& where, int& controls);

inline void PrintTo(Language language, std::ostream* out) { *out << WindowLanguage::Code(language); }
