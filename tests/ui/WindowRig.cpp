// The test window's set-up and helpers.
#include "tests/ui/WindowRig.h"

#include <QAccessible>
#include <QDir>
#include <QElapsedTimer>
#include <QTest>
#include <algorithm>
#include <gtest/gtest.h>

#include "platform/CaptureBackend.h"
#include "tests/support/ResultValue.h"

BoxAnswer ScriptedBoxes::Ask(const QString& text, BoxButtons buttons) {
    asked.push_back(text);
    if (onAsk) onAsk(text, buttons);
    if (answers.empty()) return BoxAnswer::Cancel;
    const BoxAnswer answer = answers.front();
    answers.pop_front();
    return answer;
}

WindowRig::WindowRig(const std::string& signal, const CommandLineOptions& commandLine,
                     std::function<std::time_t()> clock, bool userTimers) {
    // A new user's settings, so the tags' templates are in the language of the test.
    RecordingSettings settings = CSettingsStore(CCharString(dir / "settings.conf")).LoadSettings(kDefaultPresetName);
    settings.outputFolder = folder().c_str();
    settings.fileNameTemplate = "No.%RCN%-Track%TKN%(%TLN%)";
    settings.tagYear = 2026;
    CSettingsStore(CCharString(dir / "settings.conf")).SaveSettings(kDefaultPresetName, settings);

    CMainFrame::Options options;
    options.settingsFile = CCharString(dir / "settings.conf");
    options.clock = std::move(clock);
    options.programFolder = QString::fromStdString(dir.path());
    if (!userTimers) {
        options.scheduleUnits = [] { return nullptr; };
        options.scheduleFiles = {dir / "schedule.conf", dir / "schedule.log"};
    }
    frame = std::make_unique<CMainFrame>(&boxes, options);
    desktopHandler = frame->openUrl;
    frame->openUrl = [this](const QUrl& url) {
        opened.push_back(url);
        return true;
    };
    frame->Control().backend = ValueOrFail(CreateCaptureBackend("signal:" + signal));
    frame->show();
    frame->Start(commandLine);
}

WindowRig::~WindowRig() { frame.reset(); }

bool WindowRig::WaitFor(const std::function<bool()>& done, int ms) { return QTest::qWaitFor(done, ms); }

bool WindowRig::WaitForTrack(int track) const {
    return WaitFor([&] {
        const RecordingStatus status = frame->Control().Status();
        return status.trackNumber == track && status.trackTimeMs >= 300;
    });
}

std::vector<std::string> WindowRig::RowNames() const {
    std::vector<std::string> names;
    for (const RecordingItem& item : frame->Items().Snapshot()) names.push_back(item.displayName.str());
    return names;
}

void WindowRig::TypeOver(QWidget* field, const QString& text) {
    ASSERT_NE(field, nullptr);
    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    if (text.isEmpty()) QTest::keyClick(field, Qt::Key_Delete);
    else QTest::keyClicks(field, text);
}

void WindowRig::Screenshot(QWidget& widget, const char* name) {
    QDir().mkpath(QStringLiteral(VELSONA_SCREENSHOTS));
    EXPECT_TRUE(widget.grab().save(QStringLiteral(VELSONA_SCREENSHOTS "/%1.png").arg(name))) << name;
}

WindowLanguage::WindowLanguage(Language language) {
    m_language.emplace(language);
    InstallTranslators(*QCoreApplication::instance());
}

WindowLanguage::~WindowLanguage() {
    m_language.reset();
    InstallTranslators(*QCoreApplication::instance());
}

void ExpectNamed(QAccessibleInterface* node, const std::string& where, int& controls) {
    static const QAccessible::Role kControls[] = {
        QAccessible::PushButton, QAccessible::CheckBox,  QAccessible::RadioButton, QAccessible::ComboBox,
        QAccessible::EditableText, QAccessible::SpinBox, QAccessible::Slider,      QAccessible::ButtonMenu,
        QAccessible::ButtonDropDown, QAccessible::Table, QAccessible::List,        QAccessible::PageTab,
        QAccessible::Tree};
    const std::string here = where + "/" + node->text(QAccessible::Name).toStdString() + "(" +
                             (node->object() ? node->object()->metaObject()->className() : "") + ")";
    if (std::find(std::begin(kControls), std::end(kControls), node->role()) != std::end(kControls)) {
        ++controls;
        QString name = node->text(QAccessible::Name);
        // On Linux Qt gives a list its value as its name; its own name comes through the label.
        if (node->role() == QAccessible::ComboBox) name = static_cast<QWidget*>(node->object())->accessibleName();
        EXPECT_FALSE(name.isEmpty()) << here;
    }
    // A table's or tree's cells are its rows' contents, a list's popup list its entries: not controls.
    if (node->role() == QAccessible::Table || node->role() == QAccessible::Tree || node->role() == QAccessible::ComboBox) {
        if (node->role() == QAccessible::ComboBox)
            for (int i = 0; i < node->childCount(); ++i)
                if (QAccessibleInterface* child = node->child(i); child && child->role() != QAccessible::List)
                    ExpectNamed(child, here, controls);
        return;
    }
    for (int i = 0; i < node->childCount(); ++i)
        if (QAccessibleInterface* child = node->child(i)) ExpectNamed(child, here, controls);
}
