// The window from the keyboard and through the accessibility interface a screen reader uses:
// the View menu's entries, mnemonics, Ctrl+Q, the log window, names of every control, the status
// message, and the checkable tool buttons.
#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QSpinBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>
#include <QStatusBar>
#include <QTableView>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <gtest/gtest.h>
#include <map>

#include "tests/support/ScriptedPrompts.h"
#include "app/control/ActivityLog.h"
#include "tests/ui/WindowRig.h"
#include "ui/KeepRecordingsDlg.h"
#include "ui/LogWindow.h"
#include "ui/bars/FileNameDlg.h"
#include "ui/bars/OutputBar.h"
#include "ui/monitor/LevelBar.h"
#include "ui/monitor/LevelMeter.h"
#include "ui/monitor/MonitorBar.h"
#include "ui/monitor/WaveScope.h"

namespace {

void Activate(QWidget& window) {
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
}

// The same keys in both languages; an English menu has no two items on one letter.
class KeysInLanguage : public testing::TestWithParam<Language> {};

TEST_P(KeysInLanguage, ViewMenuTextsAltRThenSStopsAndCtrlQQuitsAsTheCloseDoes) {
    const WindowLanguage language(GetParam());
    ASSERT_TRUE(language.active());
    WindowRig rig;
    const bool english = GetParam() == Language::kEnglish;
    const std::pair<Command, const char*> texts[] = {
        {kCommandFileBar, english ? "&File Bar" : "ファイル情報バー(&F)"},
        {kCommandTagBar, english ? "Ta&g Bar" : "ID3タグ設定バー(&T)"},
        {kCommandMonitorBar, english ? "&Monitor Bar" : "音声モニターバー(&M)"},
        {kCommandLevelBar, english ? "Le&vel Bar" : "音量表示バー(&V)"}};
    for (const auto& [id, text] : texts) EXPECT_EQ(rig.frame->Action(id)->text().toStdString(), text);
    if (english) {
        std::vector<QList<QAction*>> menus{rig.frame->menuBar()->actions()};
        for (QAction* title : rig.frame->menuBar()->actions()) menus.push_back(title->menu()->actions());
        for (const QList<QAction*>& menu : menus) {
            std::map<int, QString> letters;
            for (const QAction* action : menu) {
                if (action->isSeparator()) continue;
                const QKeySequence mnemonic = QKeySequence::mnemonic(action->text());
                ASSERT_FALSE(mnemonic.isEmpty()) << action->text().toStdString();
                const auto [other, unique] = letters.emplace(mnemonic[0].key(), action->text());
                EXPECT_TRUE(unique) << action->text().toStdString() << " and " << other->second.toStdString();
            }
        }
    }

    rig.frame->Action(kCommandStart)->trigger();
    ASSERT_TRUE(rig.frame->Control().IsRecording());
    Activate(*rig.frame);
    QTest::keyClick(rig.frame.get(), Qt::Key_R, Qt::AltModifier);
    ASSERT_TRUE(WindowRig::WaitFor([] { return qobject_cast<QMenu*>(QApplication::activePopupWidget()); }));
    QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_S);
    EXPECT_FALSE(rig.frame->Control().IsRecording());
    EXPECT_FALSE(QApplication::activePopupWidget());

    // The close saves the settings: the next recording number shows that it ran.
    Activate(*rig.frame);
    QTest::keyClick(rig.frame.get(), Qt::Key_Q, Qt::ControlModifier);
    EXPECT_FALSE(rig.frame->isVisible());
    EXPECT_EQ(CSettingsStore(CCharString(rig.dir / "settings.conf")).LoadSettings(kDefaultPresetName).recordingNumber, 2);
}

INSTANTIATE_TEST_SUITE_P(Languages, KeysInLanguage, testing::Values(Language::kJapanese, Language::kEnglish),
                         [](const testing::TestParamInfo<Language>& info) {
                             return std::string(WindowLanguage::Code(info.param));
                         });

// Alt+V, L opens the log; it follows what another program writes while it is open, marks the
// latest problem, and Esc closes it.
TEST(Keys, AltVThenLShowsTheLogFollowingTheFileWithTheLatestProblemMarked) {
    WindowRig rig;
    rig.frame->Action(kCommandStart)->trigger();
    ASSERT_TRUE(rig.frame->Control().IsRecording());
    rig.frame->Action(kCommandStop)->trigger();
    Activate(*rig.frame);
    QTest::keyClick(rig.frame.get(), Qt::Key_V, Qt::AltModifier);
    ASSERT_TRUE(WindowRig::WaitFor([] { return qobject_cast<QMenu*>(QApplication::activePopupWidget()); }));
    QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_L);
    CLogWindow* window = rig.frame->LogWindow();
    ASSERT_TRUE(window && window->isVisible());
    EXPECT_FALSE(window->isModal()) << "the recording stays in reach";
    EXPECT_LE(window->frameGeometry().width(), 1024);
    EXPECT_LE(window->frameGeometry().height(), 600);
    QPlainTextEdit* entries = window->Entries();
    EXPECT_TRUE(entries->toPlainText().contains(QStringLiteral("velsona[%1] 情報: 録音を停止しました").arg(getpid())));

    // velsona-rec, say, writes while the window is open.
    CActivityLog other("velsona-rec", ActivityLogPath());
    other.Write(LogSeverity::Error, UserText::Verbatim("録音デバイスからの入力が途絶えました: テスト"));
    other.Write(LogSeverity::Information, UserText::Verbatim("その後の記録"));
    ASSERT_TRUE(WindowRig::WaitFor([&] { return entries->toPlainText().endsWith(QStringLiteral("情報: その後の記録")); }));
    const QList<QTextEdit::ExtraSelection> marks = entries->extraSelections();
    ASSERT_EQ(marks.size(), 1);
    EXPECT_TRUE(marks[0].cursor.block().text().endsWith(QStringLiteral("エラー: 録音デバイスからの入力が途絶えました: テスト")))
        << marks[0].cursor.block().text().toStdString();
    EXPECT_TRUE(window->LatestProblem()->text().endsWith(QStringLiteral("入力が途絶えました: テスト")));
    // A screen reader hears the problem itself, not only that there is one.
    EXPECT_EQ(QAccessible::queryAccessibleInterface(window->LatestProblem())->text(QAccessible::Name),
              window->LatestProblem()->text());
    EXPECT_EQ(entries->verticalScrollBar()->value(), entries->verticalScrollBar()->maximum()) << "scrolled to the end";
    WindowRig::Screenshot(*window, "log-window");

    QTest::keyClick(entries, Qt::Key_Escape);
    EXPECT_FALSE(window->isVisible());
}

// "入力が戻ったら録音を再開" toggled from the keyboard (Alt+R, then its mnemonic I), named for a
// screen reader and stored with the preset; with it on, an input that drops out shows the wait in
// the status bar, without a box, and the recording goes on into the next track.
TEST(Keys, ResumeWhenTheInputReturnsByMnemonicAndTheWaitInTheStatusBar) {
    WindowRig rig("tone=440hz/-12db/1s,silence=500ms,loop,drop=500ms@1s");
    QAction* resume = rig.frame->Action(kCommandResumeInput);
    EXPECT_EQ(resume->text().toStdString(), "入力が戻ったら録音を再開(&I)");
    EXPECT_FALSE(resume->isChecked()) << "off in a preset from before the setting";
    Activate(*rig.frame);
    QTest::keyClick(rig.frame.get(), Qt::Key_R, Qt::AltModifier);
    ASSERT_TRUE(WindowRig::WaitFor([] { return qobject_cast<QMenu*>(QApplication::activePopupWidget()); }));
    QAccessibleInterface* menu = QAccessible::queryAccessibleInterface(QApplication::activePopupWidget());
    // Read as every item of the window's menus is: its text, the mnemonic's "&" left out.
    QAccessibleInterface* item = nullptr;
    for (int i = 0; i < menu->childCount(); ++i)
        if (menu->child(i)->text(QAccessible::Name).startsWith(QStringLiteral("入力が戻ったら録音を再開"))) item = menu->child(i);
    ASSERT_TRUE(item);
    EXPECT_TRUE(item->state().checkable);
    EXPECT_FALSE(item->state().checked);
    QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_I);
    EXPECT_TRUE(resume->isChecked());
    EXPECT_TRUE(rig.frame->Bars().resumeInput);
    ASSERT_TRUE(rig.frame->Bars().SaveSettings(kDefaultPresetName));
    EXPECT_TRUE(CSettingsStore(CCharString(rig.dir / "settings.conf")).LoadSettings(kDefaultPresetName).resumeInput);

    rig.frame->Action(kCommandStart)->trigger();
    ASSERT_TRUE(WindowRig::WaitFor([&] { return rig.frame->Control().IsWaitingForInput(); }));
    ASSERT_TRUE(WindowRig::WaitFor([&] { return rig.frame->PromptText().contains(QStringLiteral("入力が戻るのを待っています")); }))
        << rig.frame->PromptText().toStdString();
    WindowRig::Screenshot(*rig.frame, "input-waiting");
    EXPECT_TRUE(rig.frame->Control().IsRecording());
    ASSERT_TRUE(WindowRig::WaitFor([&] { return rig.frame->PromptText().contains(QStringLiteral("入力が戻りました")); }))
        << rig.frame->PromptText().toStdString();
    ASSERT_TRUE(WindowRig::WaitFor([&] { return rig.frame->Control().Status().trackTimeMs > 0; }));
    rig.frame->Action(kCommandStop)->trigger();
    EXPECT_EQ(rig.RowNames(), std::vector<std::string>({"No.01-Track001(0：01).wav", "No.01-Track002(0：00).wav"}));
    EXPECT_TRUE(rig.boxes.warned.empty()) << rig.boxes.warned.front().toStdString();
}

// "時計に合わせて分割" beside the split time: shown only with the interval method, ticked by
// its mnemonic (Alt+G) and by a screen reader's toggle, named without the mnemonic, and stored
// with the preset.
TEST(Keys, CutOnTheClockByMnemonicOnlyWithTheIntervalMethod) {
    WindowRig rig;
    COutputBar& bar = rig.frame->OutputBar();
    auto* method = qobject_cast<QComboBox*>(bar.Control(COutputBarModel::kSplitMethodList));
    auto* onClock = qobject_cast<QCheckBox*>(bar.Control(COutputBarModel::kAlignToClock));
    ASSERT_TRUE(method && onClock);
    QAccessibleInterface* read = QAccessible::queryAccessibleInterface(onClock);
    EXPECT_EQ(read->text(QAccessible::Name), QStringLiteral("時計に合わせて分割"));
    Activate(*rig.frame);
    method->setFocus();
    QTest::keyClick(method, Qt::Key_Home);
    EXPECT_FALSE(onClock->isVisible()) << "splitting by hand has no clock to keep to";
    QTest::keyClick(method, Qt::Key_Down);
    ASSERT_EQ(method->currentIndex(), kSplitInterval);
    ASSERT_TRUE(onClock->isVisible());
    QTest::keyClick(rig.frame.get(), Qt::Key_G, Qt::AltModifier);
    // A mnemonic clicks the box as a press and release would, a moment later.
    EXPECT_TRUE(WindowRig::WaitFor([&] { return onClock->isChecked(); }));
    WindowRig::Screenshot(*rig.frame, "cut-on-the-clock");
    ASSERT_TRUE(rig.frame->Bars().SaveSettings(kDefaultPresetName));
    EXPECT_TRUE(CSettingsStore(CCharString(rig.dir / "settings.conf")).LoadSettings(kDefaultPresetName).alignToClock);

    QAccessibleActionInterface* actions = read->actionInterface();
    ASSERT_TRUE(actions);
    actions->doAction(QAccessibleActionInterface::toggleAction());
    EXPECT_FALSE(onClock->isChecked());
    QTest::keyClick(method, Qt::Key_End);
    EXPECT_FALSE(onClock->isVisible()) << "nor has a split at silence";
}

// The input drops out and the recording is stopped during the gap, in both languages on a
// 1024×600 screen: meanwhile the meters read their bottom, the scope is empty and the status bar
// shows the whole wait; once stopped, it tells of no wait. With the setting off, the box for the
// lost input says that the recording stopped and which menu item would have kept it going.
class InputGap : public testing::TestWithParam<Language> {};

TEST_P(InputGap, MetersAtTheBottomTheWaitWholeAndGoneAtTheStop) {
    const WindowLanguage language(GetParam());
    ASSERT_TRUE(language.active());
    WindowRig rig("tone=440hz/-6db/1s,silence=200ms,loop,drop=1h@1s");
    CMainFrame& frame = *rig.frame;
    frame.resize(1024, 600);
    frame.Action(kCommandResumeInput)->trigger();
    frame.Action(kCommandStart)->trigger();
    CLevelBar& meters = frame.LevelBar();
    ASSERT_TRUE(WindowRig::WaitFor([&] { return meters.Left().Value() > meters.Left().Scale().bottom; }));
    ASSERT_TRUE(WindowRig::WaitFor([&] { return frame.Control().IsWaitingForInput(); }));
    const QString waiting = GetParam() == Language::kEnglish ? QStringLiteral("Waiting for the input")
                                                             : QStringLiteral("入力が戻るのを待っています");
    // The first retry's reason, with the time the wait began.
    ASSERT_TRUE(WindowRig::WaitFor([&] { return frame.PromptText().contains(waiting); }, 5000)) << frame.PromptText().toStdString();
    const auto dropped = [&](CLevelMeter& meter) { return meter.Value() == meter.Scale().bottom; };
    WindowRig::WaitFor([&] { return dropped(meters.Left()) && dropped(meters.Right()) && frame.MonitorBar().Scope().FramesPerPanel() == 0; }, 5000);
    for (CLevelMeter* meter : {&meters.Left(), &meters.Right()}) EXPECT_EQ(meter->Value(), meter->Scale().bottom);
    EXPECT_EQ(frame.MonitorBar().Scope().FramesPerPanel(), 0);
    QLabel* prompt = frame.statusBar()->findChild<QLabel*>();
    ASSERT_TRUE(prompt);
    EXPECT_GE(prompt->contentsRect().width(), prompt->fontMetrics().horizontalAdvance(prompt->text()))
        << prompt->text().toStdString();
    EXPECT_TRUE(frame.rect().contains(prompt->geometry().translated(prompt->parentWidget()->mapTo(&frame, QPoint()))));
    EXPECT_FALSE(prompt->toolTip().isEmpty()) << "the whole message";
    WindowRig::Screenshot(frame, (std::string("input-waiting-1024x600-") + WindowLanguage::Code(GetParam())).c_str());

    Activate(frame);
    QTest::keyClick(&frame, Qt::Key_R, Qt::AltModifier);
    ASSERT_TRUE(WindowRig::WaitFor([] { return qobject_cast<QMenu*>(QApplication::activePopupWidget()); }));
    QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_S);
    ASSERT_FALSE(frame.Control().IsRecording());
    EXPECT_EQ(frame.PromptText(), GetParam() == Language::kEnglish ? QStringLiteral("Ready") : QStringLiteral("操作待ち"));
    EXPECT_TRUE(rig.boxes.warned.empty());

    // Off: the input's loss stops the recording, and the box says so and what would go on.
    WindowRig off("tone=440hz/-6db/1s,silence=200ms,loop,drop=1h@1s");
    off.frame->Action(kCommandStart)->trigger();
    ASSERT_TRUE(WindowRig::WaitFor([&] { return !off.boxes.warned.empty(); }));
    EXPECT_FALSE(off.frame->Control().IsRecording());
    const QString box = off.boxes.warned.back();
    EXPECT_TRUE(box.contains(GetParam() == Language::kEnglish ? QStringLiteral("The recording has stopped")
                                                              : QStringLiteral("録音を停止しました")))
        << box.toStdString();
    const QString item = GetParam() == Language::kEnglish ? QStringLiteral("“Resume When the Input Returns”")
                                                          : QStringLiteral("「入力が戻ったら録音を再開」");
    EXPECT_TRUE(box.contains(item)) << box.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Languages, InputGap, testing::Values(Language::kJapanese, Language::kEnglish),
                         [](const testing::TestParamInfo<Language>& info) {
                             return std::string(WindowLanguage::Code(info.param));
                         });

// Once the list has rows, Tab and Shift+Tab, Ctrl+Tab and Ctrl+Shift+Tab still move on from it.
TEST(Keys, TabLeavesTheItemsList) {
    WindowRig rig;
    rig.frame->Action(kCommandStart)->trigger();
    ASSERT_TRUE(WindowRig::WaitFor([&] { return rig.frame->Control().Status().trackTimeMs > 300; }));
    rig.frame->Action(kCommandStop)->trigger();
    ASSERT_GT(rig.frame->List()->model()->rowCount(), 0);
    Activate(*rig.frame);
    const std::pair<Qt::Key, Qt::KeyboardModifiers> keys[] = {{Qt::Key_Tab, Qt::NoModifier},
                                                              {Qt::Key_Backtab, Qt::ShiftModifier},
                                                              {Qt::Key_Tab, Qt::ControlModifier},
                                                              {Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier}};
    for (const auto& [key, modifiers] : keys) {
        rig.frame->List()->setFocus();
        ASSERT_EQ(QApplication::focusWidget(), static_cast<QWidget*>(rig.frame->List()));
        QTest::keyClick(rig.frame->List(), key, modifiers);
        EXPECT_NE(QApplication::focusWidget(), static_cast<QWidget*>(rig.frame->List())) << key << " " << modifiers.toInt();
        EXPECT_TRUE(QApplication::focusWidget() && rig.frame->isAncestorOf(QApplication::focusWidget()));
    }
}

TEST(ScreenReaders, FindEveryControlNamedAndTheSplitTimeNamedAfterItsLabel) {
    WindowRig rig;
    int controls = 0;
    ExpectNamed(QAccessible::queryAccessibleInterface(rig.frame.get()), "", controls);
    EXPECT_GE(controls, 30);  // the walk reached into the bars
    // The dialogs: the timer's as the window opens it, the file-name dialog of 編集.
    int dialogs = 0;
    rig.boxes.runDialog = [&](QDialog& dialog) {
        ++dialogs;
        ExpectNamed(QAccessible::queryAccessibleInterface(&dialog), dialog.windowTitle().toStdString(), controls);
        return false;
    };
    rig.frame->Action(kCommandTimer)->trigger();
    EXPECT_EQ(dialogs, 1);
    ScriptedPrompts prompts;
    CFileNameDlg names(QStringLiteral("No.%RCN%"), prompts);
    ExpectNamed(QAccessible::queryAccessibleInterface(&names), names.windowTitle().toStdString(), controls);

    COutputBar& bar = rig.frame->OutputBar();
    auto* method = qobject_cast<QComboBox*>(bar.Control(COutputBarModel::kSplitMethodList));
    QWidget* splitTime = bar.Control(COutputBarModel::kSplitTime);
    Activate(*rig.frame);
    method->setFocus();
    for (const char* name : {"無音時間", "分割時間"}) {
        QTest::keyClick(method, name == std::string("無音時間") ? Qt::Key_End : Qt::Key_Up);
        EXPECT_EQ(QAccessible::queryAccessibleInterface(splitTime)->text(QAccessible::Name).toStdString(), name);
    }
    // Split by hand: no time, and no empty label left to be read as the group's title.
    QTest::keyClick(method, Qt::Key_Home);
    ASSERT_EQ(method->currentIndex(), 0);
    for (QLabel* label : bar.findChildren<QLabel*>()) {
        QAccessibleInterface* read = QAccessible::queryAccessibleInterface(label);
        if (!read->state().invisible) {
            EXPECT_NE(read->text(QAccessible::Name), QStringLiteral("トラック設定"));
        }
    }
}

TEST(ScreenReaders, ReadTheStatusMessage) {
    WindowRig rig;
    QLabel* prompt = rig.frame->statusBar()->findChild<QLabel*>();
    ASSERT_NE(prompt, nullptr);
    rig.frame->Action(kCommandStart)->showStatusText(rig.frame.get());
    EXPECT_EQ(QAccessible::queryAccessibleInterface(prompt)->text(QAccessible::Name), QStringLiteral("録音を開始します"));
}

// A screen reader's Toggle on 一時停止 and タイマー runs the command, as a click does.
TEST(ScreenReaders, ToggleTheCheckableToolButtonsAsAClickDoes) {
    WindowRig rig("tone=440hz/-12db/1s,silence=500ms,loop");
    QToolBar* tools = rig.frame->BarPlace(kCommandToolBar);
    const auto toggle = [&](Command id) {
        QToolButton* widget = nullptr;
        for (QToolButton* candidate : tools->findChildren<QToolButton*>())
            if (candidate->defaultAction() == rig.frame->Action(id)) widget = candidate;
        ASSERT_TRUE(widget);
        QAccessibleInterface* button = QAccessible::queryAccessibleInterface(widget);
        ASSERT_TRUE(button->actionInterface());
        ASSERT_TRUE(button->actionInterface()->actionNames().contains(QAccessibleActionInterface::toggleAction()));
        button->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
    };
    int timerDialogs = 0;
    rig.boxes.runDialog = [&](QDialog&) { return ++timerDialogs, false; };
    toggle(kCommandTimer);
    EXPECT_EQ(timerDialogs, 1);
    EXPECT_FALSE(rig.frame->Action(kCommandTimer)->isChecked());  // cancelled: nothing armed

    rig.frame->Action(kCommandStart)->trigger();
    ASSERT_TRUE(rig.frame->Control().IsRecording());
    toggle(kCommandPause);
    EXPECT_TRUE(rig.frame->Control().IsPaused());
    EXPECT_TRUE(rig.frame->Action(kCommandPause)->isChecked());
    toggle(kCommandPause);
    EXPECT_FALSE(rig.frame->Control().IsPaused());
    EXPECT_FALSE(rig.frame->Action(kCommandPause)->isChecked());
    rig.frame->Action(kCommandStop)->trigger();
}

}  // namespace

// Keeping recordings from the keyboard: Alt+R, K opens the dialog, its mnemonics reach both
// fields, typed values are taken with Return and stored with the preset; Escape changes nothing.
TEST(Keys, KeepingRecordingsIsTypedInItsDialogAndStoredWithThePreset) {
    WindowRig rig;
    EXPECT_EQ(rig.frame->Bars().keepDays, 0) << "off in a preset from before the setting";
    EXPECT_EQ(rig.frame->Bars().keepFreeMb, 0);
    bool escape = false;
    QString daysShown;
    rig.boxes.runDialog = [&](QDialog& dialog) {
        dialog.show();
        // The menu that just closed gives the activation back to the window a moment later.
        QTest::qWait(50);
        dialog.activateWindow();
        EXPECT_TRUE(WindowRig::WaitFor([&] { return QApplication::activeWindow() == &dialog; }, 3000));
        auto& keep = static_cast<CKeepRecordingsDlg&>(dialog);
        EXPECT_FALSE(keep.Days()->accessibleName().isEmpty());
        EXPECT_FALSE(keep.FreeRoom()->accessibleName().isEmpty());
        daysShown = keep.Days()->text();
        QTest::keyClick(&dialog, Qt::Key_D, Qt::AltModifier);
        EXPECT_EQ(QApplication::focusWidget(), keep.Days());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(QApplication::focusWidget(), escape ? "7" : "30");
        QTest::keyClick(&dialog, Qt::Key_F, Qt::AltModifier);
        EXPECT_EQ(QApplication::focusWidget(), keep.FreeRoom());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(QApplication::focusWidget(), escape ? "3" : "1.5");
        WindowRig::Screenshot(dialog, "keep-recordings");
        QTest::keyClick(QApplication::focusWidget(), escape ? Qt::Key_Escape : Qt::Key_Return);
        return dialog.result() == QDialog::Accepted;
    };
    for (const bool cancel : {false, true}) {
        escape = cancel;
        Activate(*rig.frame);
        QTest::keyClick(rig.frame.get(), Qt::Key_R, Qt::AltModifier);
        ASSERT_TRUE(WindowRig::WaitFor([] { return qobject_cast<QMenu*>(QApplication::activePopupWidget()); }));
        QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_K);
        EXPECT_EQ(rig.frame->Bars().keepDays, 30);
        EXPECT_EQ(rig.frame->Bars().keepFreeMb, 1536);
    }
    EXPECT_EQ(daysShown, QStringLiteral("30 日")) << "the second opening shows what was kept";
    ASSERT_TRUE(rig.frame->Bars().SaveSettings(kDefaultPresetName));
    const RecordingSettings stored = CSettingsStore(CCharString(rig.dir / "settings.conf")).LoadSettings(kDefaultPresetName);
    EXPECT_EQ(stored.keepDays, 30);
    EXPECT_EQ(stored.keepFreeMb, 1536);
}
