// The window in the user's language: every text it shows (widgets, menus, tips, the list's header,
// the timer dialog, the log window, the about box and the questions and messages it asks and
// shows, the schedule and its form) holds no Japanese for an English-speaking user and no English
// sentence for a Japanese one; screenshots of the window, the timer dialog, the schedule and a
// failure in both languages.
#include <QAbstractButton>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QListWidget>
#include <QTableView>
#include <QTreeWidget>
#include <cstdio>
#include <gtest/gtest.h>

#include "tests/ui/WindowRig.h"
#include "ui/LogWindow.h"
#include "ui/ScheduleDlg.h"
#include "ui/ScheduleEntryDlg.h"

namespace {

struct Shown {
    std::string where;
    QString text;
};

std::string Where(const QObject* object) {
    std::string where;
    for (; object; object = object->parent()) {
        const std::string name = object->objectName().isEmpty() ? object->metaObject()->className()
                                                                : object->objectName().toStdString();
        where = where.empty() ? name : name + "/" + where;
    }
    return where;
}

void AddActionTexts(const QAction* action, const std::string& where, std::vector<Shown>& texts) {
    const std::string here = where + " action '" + action->text().toStdString() + "'";
    for (const QString& text : {action->text(), action->toolTip(), action->statusTip(), action->iconText()})
        texts.push_back({here, text});
    if (action->menu()) texts.push_back({here + " menu", action->menu()->title()});
}

// What a user reads on `root` and everything in it. Line edits hold the user's own data (paths,
// templates), so only their placeholder counts.
std::vector<Shown> TextsOf(QWidget& root) {
    std::vector<Shown> texts;
    QList<QWidget*> widgets = root.findChildren<QWidget*>();
    widgets.prepend(&root);
    for (QWidget* widget : widgets) {
        const std::string where = Where(widget);
        if (widget->isWindow()) texts.push_back({where + " title", widget->windowTitle()});
        texts.push_back({where + " tip", widget->toolTip()});
        texts.push_back({where + " status tip", widget->statusTip()});
        texts.push_back({where + " accessible name", widget->accessibleName()});
        texts.push_back({where + " accessible description", widget->accessibleDescription()});
        if (auto* label = qobject_cast<QLabel*>(widget)) texts.push_back({where + " text", label->text()});
        if (auto* button = qobject_cast<QAbstractButton*>(widget)) texts.push_back({where + " text", button->text()});
        if (auto* group = qobject_cast<QGroupBox*>(widget)) texts.push_back({where + " title", group->title()});
        if (auto* edit = qobject_cast<QLineEdit*>(widget)) texts.push_back({where + " placeholder", edit->placeholderText()});
        if (auto* combo = qobject_cast<QComboBox*>(widget))
            for (int i = 0; i < combo->count(); ++i) texts.push_back({where + " item", combo->itemText(i)});
        if (auto* menu = qobject_cast<QMenu*>(widget)) texts.push_back({where + " title", menu->title()});
        if (auto* tree = qobject_cast<QTreeWidget*>(widget))
            for (int column = 0; column < tree->columnCount(); ++column) {
                texts.push_back({where + " header", tree->headerItem()->text(column)});
                for (int row = 0; row < tree->topLevelItemCount(); ++row)
                    texts.push_back({where + " cell", tree->topLevelItem(row)->text(column)});
            }
        if (auto* list = qobject_cast<QListWidget*>(widget))
            for (int row = 0; row < list->count(); ++row) texts.push_back({where + " item", list->item(row)->text()});
        if (auto* table = qobject_cast<QTableView*>(widget))
            for (int column = 0; column < table->model()->columnCount(); ++column)
                texts.push_back({where + " header", table->model()->headerData(column, Qt::Horizontal).toString()});
        for (const QAction* action : widget->actions()) AddActionTexts(action, where, texts);
    }
    return texts;
}

// Each offence with the place it was found, one a line. `foreign` is a name the sound system
// gives, in no language of ours, left out of the texts it is part of.
std::string Offences(const std::vector<Shown>& texts, Language language, const QString& foreign) {
    std::string offences;
    for (const Shown& shown : texts) {
        const std::string text = QString(shown.text).remove(foreign).toStdString();
        if (language == Language::kEnglish ? HasJapanese(text) : HasEnglishSentence(text))
            offences += shown.where + ": \"" + text + "\"\n";
    }
    return offences;
}

class WindowLanguageTexts : public testing::TestWithParam<Language> {};

TEST_P(WindowLanguageTexts, EveryWidgetMenuDialogAndMessageSpeaksTheUsersLanguage) {
    const WindowLanguage language(GetParam());
    ASSERT_TRUE(language.active());
    const std::string code = WindowLanguage::Code(GetParam());
    const std::string signal = "tone=440hz/-12db/200ms,silence=100ms,loop,fast";
    WindowRig rig(signal);
    std::vector<Shown> texts;

    // A recording leaves rows, so the list's cells, the old-rows question and the list commands'
    // questions show.
    rig.frame->Action(kCommandStart)->trigger();
    ASSERT_TRUE(WindowRig::WaitFor([&] { return rig.frame->Control().Status().trackTimeMs > 0; }));
    rig.frame->Action(kCommandStop)->trigger();
    ASSERT_GT(rig.frame->List()->model()->rowCount(), 0);
    WindowRig::Screenshot(*rig.frame, ("language-window-" + code).c_str());
    texts = TextsOf(*rig.frame);
    for (const QAction* action : rig.frame->menuBar()->actions()) AddActionTexts(action, "menu bar", texts);

    rig.boxes.runDialog = [&](QDialog& dialog) {
        dialog.show();
        WindowRig::Screenshot(dialog, ("language-timer-" + code).c_str());
        const std::vector<Shown> dialogTexts = TextsOf(dialog);
        texts.insert(texts.end(), dialogTexts.begin(), dialogTexts.end());
        return false;
    };
    rig.boxes.answers = {BoxAnswer::No};  // keeps the rows
    rig.frame->Action(kCommandTimer)->trigger();
    rig.boxes.answers = {BoxAnswer::No, BoxAnswer::Yes, BoxAnswer::No};
    rig.frame->Action(kCommandRemoveFromList)->trigger();
    rig.frame->Action(kCommandDeleteFiles)->trigger();
    rig.boxes.answers = {BoxAnswer::Ok, BoxAnswer::Cancel};
    rig.frame->Action(kCommandCalibrate)->trigger();
    rig.frame->Action(kCommandAbout)->trigger();
    rig.frame->Action(kCommandLog)->trigger();
    ASSERT_TRUE(rig.frame->LogWindow());
    const std::vector<Shown> logTexts = TextsOf(*rig.frame->LogWindow());
    texts.insert(texts.end(), logTexts.begin(), logTexts.end());
    // Nothing on this desktop opens or starts anything, and no manual lies beside the program.
    rig.frame->openUrl = [](const QUrl&) { return false; };
    rig.frame->startProgram = [](const QString&, const QStringList&) { return false; };
    for (Command id : {kCommandOpenFolder, kCommandMixer, kCommandHelp, kCommandUpdatePage})
        rig.frame->Action(id)->trigger();
    // The schedule dialog, with an entry, and its form refusing an entry without a name.
    ScheduleEntry entry;
    entry.name = "radio";  // untranslated: the user's own name
    entry.preset = kDefaultPresetName;
    entry.weekdays = kMonday | kFriday;
    entry.startSecond = 7 * 3600;
    entry.durationSeconds = 1800;
    ASSERT_TRUE(rig.frame->Schedule().Put(entry, {}));
    rig.frame->Action(kCommandScheduler)->trigger();
    CScheduleDlg& schedule = *rig.frame->ScheduleDialog();
    WindowRig::Screenshot(schedule, ("language-schedule-" + code).c_str());
    const std::vector<Shown> scheduleTexts = TextsOf(schedule);
    texts.insert(texts.end(), scheduleTexts.begin(), scheduleTexts.end());
    rig.boxes.runDialog = [&](QDialog& form) {
        form.show();
        WindowRig::Screenshot(form, ("language-schedule-entry-" + code).c_str());
        const std::vector<Shown> formTexts = TextsOf(form);
        texts.insert(texts.end(), formTexts.begin(), formTexts.end());
        static_cast<CScheduleEntryDlg&>(form).Name()->clear();
        form.accept();
        return false;
    };
    schedule.AddButton()->click();
    schedule.close();
    // A second window with settings it cannot save.
    CMainFrame::Options options;
    options.settingsFile = CCharString(rig.dir / "settings.conf/unwritable.conf");
    options.programFolder = QString::fromStdString(rig.dir.path());
    options.scheduleUnits = [] { return nullptr; };
    options.scheduleFiles = {rig.dir / "other-schedule.conf", rig.dir / "other-schedule.log"};
    {
        CMainFrame other(&rig.boxes, options);
        other.close();
    }
    EXPECT_FALSE(rig.boxes.warned.empty()) << "the settings that could not be saved";
    // A start that fails: a file where the output folder should be.
    ASSERT_EQ(std::rename(rig.folder().c_str(), (rig.folder() + ".recorded").c_str()), 0);
    WriteFileBytes(rig.folder(), "not a folder");
    rig.frame->Action(kCommandStart)->trigger();
    ASSERT_FALSE(rig.frame->Control().IsRecording());
    const QString failure = rig.boxes.informed.back();
    QMessageBox box(QMessageBox::Warning, rig.frame->windowTitle(), failure, QMessageBox::Ok, rig.frame.get());
    box.show();
    WindowRig::Screenshot(box, ("language-failure-" + code).c_str());
    const std::vector<Shown> boxTexts = TextsOf(box);
    texts.insert(texts.end(), boxTexts.begin(), boxTexts.end());

    EXPECT_GE(rig.boxes.asked.size(), 5u);
    // Opening the folder, the mixer, the manual and the maker's page, the about box, the entry without a name, the failed start.
    EXPECT_GE(rig.boxes.informed.size(), 7u);
    for (const QString& text : rig.boxes.asked) texts.push_back({"question", text});
    for (const QString& text : rig.boxes.informed) texts.push_back({"message", text});
    for (const QString& text : rig.boxes.warned) texts.push_back({"warning", text});
    const std::string offences = Offences(texts, GetParam(), QString::fromStdString("Signal (" + signal + ")"));
    EXPECT_TRUE(offences.empty()) << texts.size() << " texts read, these in the wrong language:\n" << offences;
}

INSTANTIATE_TEST_SUITE_P(Languages, WindowLanguageTexts, testing::Values(Language::kJapanese, Language::kEnglish),
                         [](const testing::TestParamInfo<Language>& info) {
                             return std::string(WindowLanguage::Code(info.param));
                         });

}  // namespace
