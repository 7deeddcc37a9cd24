// The main window: layout, commands and their rules, the recording's life as the user sees it.
#include "ui/MainFrame.h"

#include <QAccessible>
#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QGridLayout>
#include <QLayout>
#include <QLabel>
#include <QMenuBar>
#include <QProcess>
#include <QProxyStyle>
#include <QRegularExpression>
#include <QScreen>
#include <QStandardPaths>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTableView>
#include <QTime>
#include <QToolBar>
#include <QToolButton>
#include <algorithm>

#include "app/language/Catalogue.h"
#include "foundation/PathUtils.h"
#include "app/language/Catalogue.h"
#include "app/control/Calibration.h"
#include "app/control/StartChecks.h"
#include "app/control/CaptureChoice.h"
#include "app/control/ActivityLog.h"
#include "app/control/ModuleReport.h"
#include "app/files/RecoveryReport.h"
#include "app/files/TrackDeletion.h"
#include "app/files/TrackRecovery.h"
#include "app/language/Catalogue.h"
#include "platform/CaptureBackend.h"
#include "platform/Logind.h"
#include "platform/RuntimeModule.h"
#include "schedule/EndAction.h"
#include "schedule/RecordingSchedule.h"
#include "ui/LogWindow.h"
#include "ui/ScheduleDlg.h"
#include "ui/ManualWindow.h"
#include "ui/MenuMnemonics.h"
#include "ui/MessageBoxes.h"
#include "ui/bars/FileBar.h"
#include "ui/bars/InputBar.h"
#include "ui/bars/OutputBar.h"
#include "ui/bars/TagBar.h"
#include "ui/monitor/LevelBar.h"
#include "ui/monitor/MonitorBar.h"
#include "ui/monitor/MonitorDisplays.h"
#include "ui/KeepRecordingsDlg.h"
#include "ui/RecordTimerDlg.h"
#include "ui/StatusPane.h"
#include "ui/ToolIcons.h"
#include "ui/WindowBody.h"

#ifndef VELSONA_VERSION
#define VELSONA_VERSION "unknown"
#endif
#ifndef VELSONA_LIBRARIES
#define VELSONA_LIBRARIES ""
#endif

namespace {

constexpr int kWidth = 1000;
constexpr int kHeight = 760;
// Room for a window manager's title bar and borders.
constexpr int kFrameAllowance = 40;
constexpr QMargins kBandMargins(4, 2, 4, 2);
// Rows of a band closer than a dialog's: Japanese fonts are tall, and all bands must fit 600 pixels.
constexpr int kBandRowSpacing = 2;
// A list that shows fewer is of little use while recording.
constexpr int kListRowsShown = 5;
constexpr int kRefreshMs = 200;
constexpr int kTrackPaneWidth = 120;
constexpr int kTotalPaneWidth = 80;
constexpr const char* kOldRowsQuestion =
    QT_TRANSLATE_NOOP("CMainFrame", "以前の録音アイテムが残っています、リストをクリアしますか？");
constexpr const char* kDeleteAllQuestion =
    QT_TRANSLATE_NOOP("CMainFrame", "アイテムが選択されていません。\nすべてのファイルを削除しますか？");
constexpr const char* kDeleteWarning = QT_TRANSLATE_NOOP(
    "CMainFrame",
    "※※　！注意！　※※\n\nこの処理を実行すると実際の保存ファイルが削除されますがよろしいですか？\n"
    "（表示上から除外するだけ場合は「リストから除外」を利用してください）");
constexpr const char* kRemoveAllQuestion =
    QT_TRANSLATE_NOOP("CMainFrame", "アイテムが選択されていません。\nすべてのアイテムを除外しますか？");
constexpr const char* kCalibratePrompt = QT_TRANSLATE_NOOP(
    "CMainFrame",
    "左のボリュームメーターを目安に\n無音のタイミングで「ＯＫ」を押してください\n\n※ソースのボリュームを最小にするなど、\n"
    "なるべく録音ソースを無音状態にしてください\n無音区間で分割時の無音状態の判定値\n(0～-130dB)として利用されます。\n");
constexpr const char* kCalibrateQuestion = QT_TRANSLATE_NOOP(
    "CMainFrame",
    "左： %1 dB / 右： %2 dB　\n以下を無音と判定無音レベルに設定しますか？\n\n* はい → 無音値を設定する\n"
    "* いいえ → 再試行（リトライ）する\n* キャンセル -> 中止");
constexpr const char* kMixerProgram = "pavucontrol";  // untranslated: a program's name
constexpr const char* kMixerMissing = QT_TRANSLATE_NOOP(
    "CMainFrame",
    "録音コントロール（pavucontrol）が見つかりません。\n入力の音量を調整するには pavucontrol をインストールしてください。");

QString Text(const char* utf8) { return QString::fromUtf8(utf8); }
QString Text(const CCharString& text) { return QString::fromUtf8(text.c_str()); }

// A text of the command table, in the user's language.
QString CommandText(const char* entry) { return QCoreApplication::translate("Commands", entry); }

// The part of a prompt before or after its "\n".
QString PromptPart(const char* prompt, bool buttonText) {
    const QString text = CommandText(prompt);
    const int newline = text.indexOf('\n');
    if (newline < 0) return buttonText ? QString() : text;
    return buttonText ? text.mid(newline + 1) : text.left(newline);
}

// A menu or command text as a sentence names it: without its mnemonic, "(&I)" or "&".
QString PlainCommandText(const char* entry) {
    static const QRegularExpression mnemonic(QStringLiteral("\\(&.\\)|&|\\.\\.\\.$"));
    return CommandText(entry).remove(mnemonic);
}

// Where the user finds a command: "［録音］メニューの「入力が戻ったら録音を再開」".
QString MenuPlaceOf(Command id) {
    for (const MenuInfo& menu : AllMenus())
        if (std::find(menu.commands.begin(), menu.commands.end(), id) != menu.commands.end())
            return QCoreApplication::translate("CMainFrame", "［%1］メニューの「%2」")
                .arg(PlainCommandText(menu.title), PlainCommandText(CommandInfoFor(id).menuText));
    return PlainCommandText(CommandInfoFor(id).menuText);
}

// The list's cells and headers keep a character's width between the texts of neighbouring
// columns, where a right-aligned column meets a left-aligned one ("時間 [ 日付 ]" and "タイトル").
// Only across: the header keeps its height, which a small screen's bars cannot spare.
class CListStyle : public QProxyStyle {
public:
    int pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const override {
        const int value = QProxyStyle::pixelMetric(metric, option, widget);
        if ((metric != PM_HeaderMargin && metric != PM_FocusFrameHMargin) || !widget) return value;
        return std::max(value, (widget->fontMetrics().averageCharWidth() + 1) / 2);
    }
    QSize sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                           const QWidget* widget) const override {
        QSize result = QProxyStyle::sizeFromContents(type, option, size, widget);
        if (type == CT_HeaderSection) result.rheight() -= 2 * ExtraHeaderMargin(option, widget);
        return result;
    }
    QRect subElementRect(SubElement element, const QStyleOption* option, const QWidget* widget) const override {
        QRect result = QProxyStyle::subElementRect(element, option, widget);
        if (element == SE_HeaderLabel) {
            const int extra = ExtraHeaderMargin(option, widget);
            result.adjust(0, -extra, 0, extra);
        }
        return result;
    }

private:
    int ExtraHeaderMargin(const QStyleOption* option, const QWidget* widget) const {
        return pixelMetric(PM_HeaderMargin, option, widget) - baseStyle()->pixelMetric(PM_HeaderMargin, option, widget);
    }
};

// A tool bar button for a checkable command. Toggled other than by a click (a screen reader's
// Toggle) it runs the command, where Qt's own would only copy the check into it; the command's
// outcome then sets the check.
class CCheckableCommandButton : public QToolButton {
public:
    CCheckableCommandButton(QAction* action, QToolBar* bar) : QToolButton(bar) {
        // As the tool bar makes its own buttons.
        setAutoRaise(true);
        setFocusPolicy(Qt::NoFocus);
        setIconSize(bar->iconSize());
        setToolButtonStyle(bar->toolButtonStyle());
        connect(bar, &QToolBar::iconSizeChanged, this, &QToolButton::setIconSize);
        connect(bar, &QToolBar::toolButtonStyleChanged, this, &QToolButton::setToolButtonStyle);
        setDefaultAction(action);
    }

protected:
    void checkStateSet() override {
        QAction* action = defaultAction();
        if (action && isChecked() != action->isChecked()) action->trigger();
    }
};

}  // namespace

CMainFrame::CMainFrame(IMessageBoxes* boxes, Options options)
    : m_options(std::move(options)),
      m_ownBoxes(boxes ? nullptr : std::make_unique<CMessageBoxes>(this)),
      m_boxes(boxes ? *boxes : *m_ownBoxes),
      m_store(m_options.settingsFile.IsEmpty() ? std::make_unique<CSettingsStore>()
                                               : std::make_unique<CSettingsStore>(m_options.settingsFile)),
      m_table(m_items),
      m_logind(std::make_unique<CLogind>(CLogind::SystemBusAddress())),
      m_inhibitor(std::make_unique<CSleepInhibitor>()),
      // Said once; the recording goes on without its log.
      m_log(OpenActivityLog("velsona", [this](const UserText& problem) { m_boxes.Warn(Said(problem)); })),
      m_link(std::make_unique<CControlLink>(m_items)),
      m_commands(std::make_unique<CRecordingCommands>(Control(), *m_store, m_profile, m_options.clock)),
      m_prompts(std::make_unique<CBarPrompts>(m_boxes, openUrl)),
      m_bars(std::make_unique<CBarSet>(*m_store, std::vector<CaptureDeviceInfo>{})) {
    openUrl = [](const QUrl& url) { return QDesktopServices::openUrl(url); };
    startProgram = [](const QString& program, const QStringList& arguments) {
        return QProcess::startDetached(program, arguments);
    };
    if (m_options.programFolder.isEmpty()) m_options.programFolder = QCoreApplication::applicationDirPath();
    m_schedule = std::make_unique<CScheduleBook>(
        m_options.scheduleUnits(), [this](const std::string& preset) { return m_store->PresetExists(CCharString(preset)); },
        m_options.scheduleFiles, m_options.clock);

    if (Result<std::unique_ptr<CCaptureBackend>> backend = CreateCaptureBackendFromEnvironment())
        Control().backend = *std::move(backend);
    else
        m_backendError = backend.error().message;
    Control().sleepInhibitor = m_inhibitor.get();
    Control().log = m_log.get();
    connect(m_link.get(), &CControlLink::Arrived, this, &CMainFrame::OnRecordingEvent);

    setWindowTitle(Said(ProgramTitle()));
    setWindowIcon(ProgramIcon());
    CreateList();
    CreateActions();
    // A build that names no site of the maker offers none of its pages.
    m_actions[kCommandUpdatePage]->setVisible(!m_options.makerSite.IsEmpty());
    m_actions[kCommandOnlineManual]->setVisible(!m_options.makerSite.IsEmpty());
    m_bars->outputBar.makerSite = m_options.makerSite;
    CreateBars();
    CreateStatusBar();

    FitToScreen();

    m_countdown.setInterval(CCountdown::kPeriodMs);
    connect(&m_countdown, &QTimer::timeout, this, &CMainFrame::OnCountdownTimer);
    m_refresh.setInterval(kRefreshMs);
    // The panes only while they can be seen; the next tick after they can brings them up to date.
    // Their times move with the buffers: while the monitor displays take each buffer, the panes
    // go with them, painted in the same pass, and the tick is put off: it wakes the window only
    // when no buffer has come for a tick's time, as while the input is away.
    connect(&m_refresh, &QTimer::timeout, this, [this] {
        Control().PollInput();
        if (!m_displays->Refreshing() && OnScreen(*m_totalPane)) RefreshPanes();
    });
    m_displays->onPicture = [this] {
        if (m_refresh.isActive()) m_refresh.start();
        Control().PollInput();
        if (OnScreen(*m_totalPane)) RefreshPanes();
    };
    RefreshPanes();
    UpdateCommands();
}

CMainFrame::~CMainFrame() {
    m_countdown.stop();
    m_refresh.stop();
    m_commands.reset();
    m_link.reset();
    m_displays.reset();
    // The bars' widgets let go of their models before the models go.
    delete m_fileBar;
    delete m_inputBar;
    delete m_outputBar;
    delete m_tagBar;
}

void CMainFrame::FitToScreen() {
    // The window manager adds its frame and places the window; the size leaves room for both.
    const QSize room = screen()->availableGeometry().size() - QSize(kFrameAllowance, kFrameAllowance);
    resize(QSize(kWidth, kHeight).boundedTo(room).expandedTo(minimumSizeHint()));
}

void CMainFrame::CreateActions() {
    for (const CommandInfo& command : AllCommands()) {
        auto* action = new QAction(CommandText(command.menuText), this);
        action->setObjectName(QStringLiteral("command%1").arg(command.id));
        action->setData(command.id);
        action->setStatusTip(PromptPart(command.prompt, false));
        action->setIconText(PromptPart(command.prompt, true));
        action->setToolTip(PromptPart(command.prompt, true));
        if (*command.themeIcon) action->setIcon(CommandIcon(command));
        const Command id = command.id;
        connect(action, &QAction::triggered, this, [this, id] { OnCommand(id); });
        m_actions[id] = action;
    }
    m_actions[kCommandHelp]->setShortcut(QKeySequence::HelpContents);
    // Linux programs quit on Ctrl+Q; it takes the window's close, which stops and saves.
    m_actions[kCommandExit]->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    for (Command checkable : {kCommandTimer, kCommandPause, kCommandResumeInput, kCommandToolBar, kCommandFileBar,
                              kCommandInputBar, kCommandOutputBar, kCommandTagBar, kCommandMonitorBar, kCommandLevelBar,
                              kCommandStatusBar})
        m_actions[checkable]->setCheckable(true);
    for (const MenuInfo& info : AllMenus()) {
        QMenu* menu = menuBar()->addMenu(CommandText(info.title));
        ActOnEnabledMnemonics(menu);
        for (Command id : info.commands) {
            if (id == 0) menu->addSeparator();
            else menu->addAction(m_actions[id]);
        }
    }
}

void CMainFrame::CreateBars() {
    m_toolBar = new QToolBar(PromptPart(CommandInfoFor(kCommandToolBar).prompt, true));
    m_toolBar->setObjectName(QStringLiteral("toolBar"));
    m_toolBar->setIconSize(QSize(24, 18));
    m_toolBar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    for (Command id : ToolBarCommands()) {
        if (id == 0) m_toolBar->addSeparator();
        else if (m_actions[id]->isCheckable()) m_toolBar->addWidget(new CCheckableCommandButton(m_actions[id], m_toolBar));
        else m_toolBar->addAction(m_actions[id]);
    }
    m_body->AddBand(m_toolBar);
    for (Command id : {kCommandFileBar, kCommandInputBar, kCommandOutputBar, kCommandTagBar, kCommandMonitorBar}) {
        auto* place = new QToolBar(PromptPart(CommandInfoFor(id).prompt, true));
        m_body->AddBand(place);
        m_places[id] = place;
    }
    auto* levels = new QToolBar(PromptPart(CommandInfoFor(kCommandLevelBar).prompt, true));
    levels->setOrientation(Qt::Vertical);
    m_body->SetSide(levels);
    m_places[kCommandLevelBar] = levels;
    CreateSettingsBars();
    m_levelBar = new CLevelBar;
    // As high as the list beside it, whatever its own preferred height.
    m_levelBar->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
    levels->addWidget(m_levelBar);
    m_monitorBar = new CMonitorBar;
    m_places[kCommandMonitorBar]->addWidget(m_monitorBar);
    m_displays = std::make_unique<CMonitorDisplays>(m_feed, *m_levelBar, *m_monitorBar);
    Control().monitor = &m_feed;
    for (auto& [id, place] : m_places) {
        place->setObjectName(QStringLiteral("bar%1").arg(id));
        place->setAccessibleName(place->windowTitle());
        // A bar's place is only its frame in the band rows: no room of its own around the bar.
        place->layout()->setContentsMargins(0, 0, 0, 0);
    }
    m_places[kCommandToolBar] = m_toolBar;
    for (auto& [id, bar] : m_places) {
        QAction* action = m_actions[id];
        QToolBar* place = bar;
        connect(action, &QAction::triggered, this, [place](bool shown) { place->setVisible(shown); });
        connect(place, &QToolBar::visibilityChanged, this, [this] { UpdateCommands(); });
    }
    m_toolBar->setAccessibleName(m_toolBar->windowTitle());
    // The button a narrow bar shows for the items it cannot fit, named for screen readers.
    for (auto& [id, place] : m_places)
        if (auto* more = place->findChild<QToolButton*>(QStringLiteral("qt_toolbar_ext_button")))
            more->setAccessibleName(tr("その他のボタン"));
}

void CMainFrame::CreateSettingsBars() {
    m_bars->SetPrompts(m_prompts.get());
    m_fileBar = new CFileBar(*m_bars);
    m_inputBar = new CInputBar(m_bars->inputBar);
    m_outputBar = new COutputBar(m_bars->outputBar);
    m_tagBar = new CTagBar(m_bars->tagBar);
    m_places[kCommandFileBar]->addWidget(m_fileBar);
    m_places[kCommandInputBar]->addWidget(m_inputBar);
    m_places[kCommandOutputBar]->addWidget(m_outputBar);
    m_places[kCommandTagBar]->addWidget(m_tagBar);
    // The margins of a dialog are too loose for bands that share a small screen.
    for (QWidget* bar : std::initializer_list<QWidget*>{m_fileBar, m_inputBar, m_outputBar, m_tagBar})
        for (QLayout* layout : bar->findChildren<QLayout*>()) {
            layout->setContentsMargins(kBandMargins);
            if (auto* grid = qobject_cast<QGridLayout*>(layout)) grid->setVerticalSpacing(kBandRowSpacing);
        }
    m_fileBar->chooseFolder = [this](const QString& start) { return m_boxes.ChooseFolder(start); };
    connect(m_fileBar, &CFileBar::settingsLoaded, this, &CMainFrame::ApplyBarsSilenceLevels);
    // A loaded preset brings its "resume when the input returns" to the menu.
    connect(m_fileBar, &CFileBar::settingsLoaded, this, &CMainFrame::UpdateCommands);
    connect(m_outputBar, &COutputBar::trackNumberEdited, this, [this] { m_bars->OnTrackNumberEdited(Control()); });
    // Whatever the user changes reaches the next track whole.
    const auto handOver = [this] { m_bars->OnBarsEdited(Control()); };
    connect(m_fileBar, &CFileBar::edited, this, handOver);
    connect(m_outputBar, &COutputBar::edited, this, handOver);
    connect(m_tagBar, &CTagBar::edited, this, handOver);
}

void CMainFrame::CreateList() {
    m_list = new QTableView(this);
    m_list->setModel(&m_table);
    m_list->setAccessibleName(tr("録音アイテム一覧"));
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Rows, not cells, are what the list offers: Tab moves on to the next control.
    m_list->setTabKeyNavigation(false);
    m_list->installEventFilter(this);
    m_list->setShowGrid(false);
    m_list->setWordWrap(false);
    m_list->verticalHeader()->hide();
    m_list->verticalHeader()->setDefaultSectionSize(m_list->fontMetrics().height() + 6);
    auto* style = new CListStyle;
    style->setParent(m_list);
    m_list->setStyle(style);
    m_list->horizontalHeader()->setStyle(style);
    m_list->horizontalHeader()->setSectionsClickable(false);
    m_list->horizontalHeader()->setHighlightSections(false);
    m_list->horizontalHeader()->setStretchLastSection(false);
    m_list->setIconSize(QSize(16, 16));
    // The widths were chosen for an 8-point font 13 pixels high; a larger desktop font widens
    // them alike. Each column then grows to what it shows, its header included.
    const double scale = std::max(1.0, m_list->fontMetrics().height() / 13.0);
    for (int column = 0; column < kItemColumnCount; ++column)
        m_list->setColumnWidth(column, static_cast<int>(kItemColumns[column].width * scale + 0.5));
    FitColumns();
    connect(&m_table, &QAbstractItemModel::rowsInserted, this, &CMainFrame::FitColumns);
    connect(&m_table, &QAbstractItemModel::dataChanged, this, &CMainFrame::FitColumns);
    // An inactive list keeps its selection as visible as an active one.
    QPalette palette = m_list->palette();
    palette.setColor(QPalette::Inactive, QPalette::Highlight, palette.color(QPalette::Active, QPalette::Highlight));
    palette.setColor(QPalette::Inactive, QPalette::HighlightedText,
                     palette.color(QPalette::Active, QPalette::HighlightedText));
    m_list->setPalette(palette);
    connect(m_list, &QTableView::doubleClicked, this, [this](const QModelIndex& index) {
        const QString path = m_table.PathAt(index.row());
        if (!path.isEmpty()) openUrl(QUrl::fromLocalFile(path));
    });
    m_body = new CWindowBody(m_list, kListRowsShown, this);
    setCentralWidget(m_body);
    setFocusProxy(m_list);
}

void CMainFrame::FitColumns() {
    QHeaderView* header = m_list->horizontalHeader();
    const QAbstractItemView* cells = m_list;  // QTableView hides the measure it inherits
    // A column never takes more than half the list, so the others stay in sight; the file
    // name's tool tip gives the rest.
    const int most = std::max(m_list->viewport()->width(), width()) / 2;
    for (int column = 0; column < kItemColumnCount; ++column) {
        const int content = std::max(cells->sizeHintForColumn(column), header->sectionSizeHint(column));
        if (content > header->sectionSize(column)) header->resizeSection(column, std::min(content, most));
    }
}

void CMainFrame::CreateStatusBar() {
    // Unnamed, so that a screen reader reads the message itself.
    m_prompt = new QLabel(tr(kIdlePrompt));
    // A long message must not widen the window past a small screen; the waits are written to fit.
    m_prompt->setMinimumWidth(1);
    m_trackPane = new CStatusPane(std::max(kTrackPaneWidth, fontMetrics().horizontalAdvance(
                                                                 tr("トラック(999)時間 999:59.99")) + 8),
                                  tr("トラック時間"));
    m_totalPane = new CStatusPane(
        std::max(kTotalPaneWidth, fontMetrics().horizontalAdvance(tr("総時間 9999:59")) + 8),
        tr("総時間"));
    statusBar()->addWidget(m_prompt, 1);
    statusBar()->addPermanentWidget(m_trackPane);
    statusBar()->addPermanentWidget(m_totalPane);
    connect(m_actions[kCommandStatusBar], &QAction::triggered, this, [this](bool shown) {
        statusBar()->setVisible(shown);
        UpdateCommands();
    });
}

void CMainFrame::Start(const CommandLineOptions& commandLine) {
    const CCharString preset =
        commandLine.presetName.IsEmpty() ? CCharString(kDefaultPresetName) : commandLine.presetName;
    // The devices of the backend the window records from, which tests choose after construction.
    if (Control().backend) m_bars->inputBar.Refresh(Control().backend->ListDevices());
    m_bars->Start();
    m_inputBar->WatchDevices(Control().backend);
    // A start nobody watches never waits on a question.
    const UserText fellBack = m_bars->LoadProfile(preset, !commandLine.scheduleArmed);
    if (!fellBack.empty()) m_log->Write(LogSeverity::Warning, fellBack);
    m_profile = m_bars->State();
    Control().settings = m_profile.settings;
    ApplyBarsSilenceLevels();
    // Before a scheduled start can record anything new.
    RecoverLeftTracks();
    // What the command line did not understand is said; what it did runs.
    QStringList ignored;
    for (const IgnoredWord& word : commandLine.ignored) ignored << Said(IgnoredWordWarning(word));
    if (!ignored.isEmpty()) m_boxes.Warn(ignored.join(QLatin1Char('\n')));
    if (commandLine.scheduleArmed) StartBySchedule(commandLine.schedule);
    if (!fellBack.empty()) {
        // Beside whatever the start found, first: the reader learns why the files are not as set.
        m_problem = m_problem.isEmpty() ? Said(fellBack) : Said(fellBack) + QStringLiteral("  ") + m_problem;
        ShowPrompt(QString());
    }
    if (const Result<void> loaded = m_schedule->Load(); !loaded) m_boxes.Warn(Said(loaded.error().message));
    ArmWindowRun();
    UpdateCommands();
}

void CMainFrame::CloseOnRequest() {
    m_closing = true;
    while (QWidget* popup = QApplication::activePopupWidget()) {
        popup->close();
        if (QApplication::activePopupWidget() == popup) break;
    }
    if (m_ownBoxes) m_ownBoxes->Dismiss();
    // Once the cancelled box's caller has given up and returned to the event loop.
    QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
}

void CMainFrame::RecoverLeftTracks() {
    const std::vector<RecoveredTrack> tracks = ::RecoverLeftTracks(*m_log, m_profile.settings.outputFolder);
    // A warning that does not wait: an unattended start must go on to its schedule.
    if (!tracks.empty()) m_boxes.Warn(Said(RecoveryNote(tracks)));
}

void CMainFrame::OnCommand(Command id) {
    switch (id) {
    case kCommandStart: OnStart(); break;
    case kCommandStop: OnStop(); break;
    case kCommandTimer: OnTimer(); break;
    case kCommandSplit: Control().RequestSplit(); break;
    case kCommandPause: Control().TogglePause(); break;
    case kCommandResumeInput: OnResumeInput(); break;
    case kCommandKeepRecordings: OnKeepRecordings(); break;
    case kCommandRemoveFromList: OnRemoveFromList(); break;
    case kCommandDeleteFiles: OnDeleteFiles(); break;
    case kCommandOpenFolder: OnOpenFolder(); break;
    // While recording too: the bar is disabled, but the next track goes into the chosen folder.
    case kCommandSetFolder: m_fileBar->Browse(); break;
    case kCommandCalibrate: OnCalibrateSilence(); break;
    case kCommandMixer: OnMixer(); break;
    case kCommandScheduler: OnScheduler(); break;
    case kCommandHelp: OnHelp(); break;
    case kCommandLog: OnShowLog(); break;
    case kCommandUpdatePage: OpenMakerPage(kUpdatePageQuery); break;
    case kCommandOnlineManual: OpenMakerPage(kOnlineManualQuery); break;
    case kCommandAbout: OnAbout(); break;
    case kCommandExit: close(); break;
    default: break;  // the view entries act through their bars
    }
    UpdateCommands();
}

void CMainFrame::UpdateCommands() {
    const FrameState state{Control().IsRecording(), Control().IsPaused(), Control().schedule.has_value(),
                           m_bars->resumeInput};
    for (auto& [id, action] : m_actions) {
        const CommandState rule = StateOf(id, state);
        action->setEnabled(rule.enabled);
        if (m_places.count(id)) action->setChecked(!m_places.at(id)->isHidden());
        else if (id == kCommandStatusBar) action->setChecked(!statusBar()->isHidden());
        else if (action->isCheckable()) action->setChecked(rule.checked);
    }
}

void CMainFrame::AskAboutOldRows() {
    if (m_items.Count() == 0) return;
    if (m_boxes.Ask(tr(kOldRowsQuestion), BoxButtons::YesNo) != BoxAnswer::Yes) return;
    m_items.RemoveAll();
    m_table.ApplyPending();
}

void CMainFrame::OnStart() {
    EndWindowRunByHand();
    EndRecording();
    AskAboutOldRows();
    if (!m_bars->PrepareStart(Control(), m_profile)) return;
    if (!CheckBeforeStarting(nullptr)) return;
    const Result<void> outcome = m_commands->StartCommand();
    // The start put the folder and the template into the profile's histories.
    m_bars->TakeHistories(m_profile);
    ShowStarted(outcome);
}

void CMainFrame::OnStop() {
    EndWindowRunByHand();
    // A recording stopped by hand never runs the end action: StopCommand disarms it first.
    EndRecording();
}

void CMainFrame::OnTimer() {
    EndWindowRunByHand();
    EndRecording();
    AskAboutOldRows();
    // The scheduled start records what the bars hold now.
    if (!m_bars->PrepareStart(Control(), m_profile)) return;
    CRecordTimerDlg dialog(m_boxes, m_options.clock(), this);
    // Checked while the dialog is open: a schedule is being armed.
    Control().schedule = RecordingSchedule();
    UpdateCommands();
    const bool accepted = m_boxes.Run(dialog);
    Control().schedule.reset();
    if (accepted) StartBySchedule(dialog.Schedule());
    else ArmWindowRun();
}

void CMainFrame::StartBySchedule(const RecordingSchedule& schedule) {
    // The user's schedule takes the place of the entry counted down to; it is armed again after.
    if (m_windowRun && !Control().IsRecording()) m_windowRun.reset();
    if (!CheckBeforeStarting(&schedule)) return;
    ShowStarted(m_commands->StartBySchedule(schedule));
}

void CMainFrame::OnCountdownTimer() {
    if (m_windowRun && m_options.clock() >= m_windowRun->start) PrepareWindowRun();
    const CRecordingCommands::Tick tick = m_commands->OnCountdownTick();
    if (tick.start) {
        m_countdown.stop();
        ShowStarted(*tick.start);
        if (m_windowRun && !*tick.start) FinishWindowRun(ScheduleOutcome::Failed, Said(tick.start->error().message));
        else if (m_windowRun && m_schedule->RecordResult(m_windowRun->entry.name, ScheduleOutcome::Started) && m_scheduleDlg)
            m_scheduleDlg->Refresh();
    } else if (!m_commands->IsCountingDown()) {
        m_countdown.stop();
    } else {
        setWindowTitle(Said(tick.title));
    }
}

bool CMainFrame::CheckBeforeStarting(const RecordingSchedule* schedule) {
    if (m_closing) return false;
    m_problem.clear();
    ShowPrompt(QString());
    StartReadiness readiness;
    if (Control().backend)
        readiness = CheckStart(*Control().backend, Control().settings, schedule);
    else
        readiness.ready = KindFailure(FailureKind::kMissing, UserText("CMainFrame", "録音入力がありません: %1").Arg(m_backendError));
    if (!readiness.ready) {
        m_boxes.Inform(Said(StartFailedMessage(readiness.ready.error().message)));
        return false;
    }
    // The folder field already shows the folder used; the user hears why it is not as typed.
    if (!m_bars->fileBar.folderWarning.empty()) m_boxes.Warn(Said(m_bars->fileBar.folderWarning));
    // A folder that will fill up before the end is worth knowing while there is time to act.
    if (readiness.space && !readiness.space->warning.empty()) {
        m_problem = Said(readiness.space->warning);
        ShowPrompt(QString());
    }
    return true;
}

void CMainFrame::ShowStarted(const Result<void>& outcome) {
    if (!outcome) {
        setWindowTitle(Said(ProgramTitle()));
        UpdateCommands();
        m_boxes.Inform(Said(outcome.error().message));
        return;
    }
    if (m_commands->IsCountingDown()) {
        m_countdown.start();
        UpdateCommands();
        return;
    }
    setWindowTitle(Said(RecordingTitle(Control().schedule ? &*Control().schedule : nullptr)));
    // Folder, template and preset cannot change while recording.
    m_bars->SetRecording(true);
    m_refresh.start();
    RefreshPanes();
    UpdateCommands();
}

void CMainFrame::EndRecording() {
    m_countdown.stop();
    m_commands->StopCommand();
    // The stop's own events (last track closed, recording stopped) are taken now, so a start
    // that follows at once sees the raised recording number.
    m_link->DeliverPending();
    m_refresh.stop();
    m_table.ApplyPending();
    // A wait or a return belongs to the recording that has now stopped.
    m_inputNote.clear();
    m_prompt->setToolTip(QString());
    ShowPrompt(QString());
    RefreshPanes();
    setWindowTitle(Said(ProgramTitle()));
    m_bars->SetRecording(false);
    UpdateCommands();
    // Once the stop's caller is done: a start that follows has its recording by then.
    QTimer::singleShot(0, this, &CMainFrame::ArmWindowRun);
}

void CMainFrame::OnRecordingEvent(const RecordingEvent& event, bool running) {
    const EventReaction reaction = ReactionTo(event.code);
    if (reaction.runsEndAction) {
        // The control has stopped; the window follows and runs the armed action.
        if (running) {
            const EndAction action = Control().TakeEndAction();
            FinishWindowRun(ScheduleOutcome::Recorded);
            EndRecording();
            RunEndAction(action);
        }
    } else if (event.code == kRecordingTrackClosed) {
        m_bars->OnTrackClosed(Control());
    } else if (event.code == kRecordingStopped) {
        m_bars->OnRecordingStopped(Control());
        m_displays->RecordingStopped();
    } else if (reaction.inputStatus) {
        if (running) ShowInputEvent(event);
    } else if (reaction.endsRecording) {
        m_problem = CControlLink::MessageOf(event);
        if (running) {
            FinishWindowRun(ScheduleOutcome::Failed, m_problem);
            EndRecording();
        }
        ShowPrompt(QString());
        if (event.code == kRecordingCaptureFailed && !m_bars->resumeInput)
            m_boxes.Warn(tr("%1\n\n録音を停止しました。入力が戻ったときに録音を続けるには、%2をオンにしてください。")
                             .arg(m_problem, MenuPlaceOf(kCommandResumeInput)));
        else
            m_boxes.Warn(m_problem);
    } else if (reaction.lostAudio) {
        // The recording goes on, but this file lacks its ending or its name: nobody may be
        // watching, so the warning stays on screen until it is read.
        m_boxes.Warn(CControlLink::MessageOf(event));
    }
    m_table.ApplyPending();
    UpdateCommands();
}

void CMainFrame::OnResumeInput() {
    m_bars->resumeInput = m_actions[kCommandResumeInput]->isChecked();
    // Stored with the preset, and during a recording it applies from the next failure.
    m_bars->OnBarsEdited(Control());
}

void CMainFrame::OnKeepRecordings() {
    CKeepRecordingsDlg dialog(m_bars->keepDays, m_bars->keepFreeMb, this);
    if (!m_boxes.Run(dialog)) return;
    m_bars->keepDays = dialog.KeepDays();
    m_bars->keepFreeMb = dialog.KeepFreeMb();
    // Stored with the preset; a recording keeps them from its next track's close.
    m_bars->OnBarsEdited(Control());
}

void CMainFrame::ShowInputEvent(const RecordingEvent& event) {
    const QString message = CControlLink::MessageOf(event);
    if (event.code == kRecordingInputWaiting) {
        m_waitingSince = QTime::currentTime().toString(QStringLiteral("HH:mm:ss"));  // untranslated: a time format
        // Nothing is recorded meanwhile, and the meters and the scope must not say otherwise.
        m_displays->RecordingStopped();
    }
    // The wait and its reason fit a small screen's status bar; the whole message is the tip.
    m_inputNote = event.code == kRecordingInputReturned
                      ? message
                      : tr("%1 から入力が戻るのを待っています（%2）").arg(m_waitingSince, Said(event.reason));
    m_prompt->setToolTip(message);
    ShowPrompt(QString());
    RefreshPanes();
}

void CMainFrame::RunEndAction(EndAction action) {
    const Result<void> outcome = m_commands->RunEndAction(
        action, [this] { QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection); }, *m_logind);
    if (!outcome) {
        m_problem = Said(outcome.error().message);
        ShowPrompt(QString());
        m_boxes.Warn(m_problem);
    }
}

std::vector<int> CMainFrame::SelectedRows() const {
    std::vector<int> rows;
    for (const QModelIndex& index : m_list->selectionModel()->selectedRows()) rows.push_back(index.row());
    return rows;
}

void CMainFrame::OnRemoveFromList() {
    if (m_items.Count() == 0) return;
    std::vector<int> rows = SelectedRows();
    if (rows.empty()) {
        if (m_boxes.Ask(tr(kRemoveAllQuestion), BoxButtons::YesNo) != BoxAnswer::Yes) return;
        m_items.RemoveAll();
    } else {
        m_items.RemoveRows(std::move(rows));
    }
    m_table.ApplyPending();
}

void CMainFrame::OnDeleteFiles() {
    if (m_items.Count() == 0) return;
    std::vector<int> rows = SelectedRows();
    if (rows.empty()) {
        if (m_boxes.Ask(tr(kDeleteAllQuestion), BoxButtons::YesNo) != BoxAnswer::Yes) return;
        for (int row = 0; row < m_items.Count(); ++row) rows.push_back(row);
    }
    if (m_boxes.Ask(tr(kDeleteWarning), BoxButtons::YesNo) != BoxAnswer::Yes) return;
    // A file that could not go stays on the disk; its row goes anyway.
    for (int row : rows) DiscardTrackFile(CCharString(m_table.PathAt(row).toStdString()));
    m_items.RemoveRows(std::move(rows));
    m_table.ApplyPending();
}

void CMainFrame::OnOpenFolder() {
    m_bars->fileBar.Pull();
    const QString folder = Text(m_bars->fileBar.outputFolder);
    if (!EnsureFolder(m_bars->fileBar.outputFolder))
        m_boxes.Inform(tr("出力先フォルダ「%1」を作成できません。").arg(folder));
    else if (!openUrl(QUrl::fromLocalFile(folder)))
        m_boxes.Inform(tr("出力先フォルダ「%1」を開けませんでした。\n"
                          "フォルダを開くプログラム（ファイルマネージャ）が見つかりません。")
                           .arg(folder));
}

void CMainFrame::OnMixer() {
    // pavucontrol's fourth tab holds the input devices and their levels.
    const QString mixer = QStandardPaths::findExecutable(Text(kMixerProgram));
    if (mixer.isEmpty() || !startProgram(mixer, {QStringLiteral("--tab=4")})) m_boxes.Inform(tr(kMixerMissing));
}

void CMainFrame::OnScheduler() {
    if (!m_scheduleDlg) {
        m_scheduleDlg = new CScheduleDlg(*m_schedule, m_boxes, [this] {
            std::vector<std::string> presets;
            for (const CCharString& name : m_bars->State().presets.entries) presets.push_back(name.str());
            return presets;
        }, this);
        connect(m_scheduleDlg, &CScheduleDlg::Changed, this, &CMainFrame::ArmWindowRun);
    }
    m_scheduleDlg->show();
    m_scheduleDlg->raise();
    m_scheduleDlg->activateWindow();
}

void CMainFrame::ArmWindowRun() {
    if (m_schedule->RunByTimers() || Control().IsRecording() || !isVisible()) return;
    // The user's own timer, or its dialog, has the countdown.
    if (Control().schedule && !m_windowRun) return;
    if (m_windowRun) {
        m_countdown.stop();
        m_commands->StopCommand();
        m_windowRun.reset();
        setWindowTitle(Said(ProgramTitle()));
    }
    m_windowRun = m_schedule->NextWindowRun(m_options.clock());
    if (m_windowRun) ShowStarted(m_commands->StartBySchedule(CScheduleBook::ScheduleOf(*m_windowRun)));
    UpdateCommands();
}

void CMainFrame::PrepareWindowRun() {
    m_bars->LoadSettings(CCharString(m_windowRun->entry.preset));
    // A refused field keeps the value the control already holds: the run still starts.
    if (m_bars->PrepareStart(Control(), m_profile)) m_bars->TakeHistories(m_profile);
}

void CMainFrame::EndWindowRunByHand() {
    if (m_windowRun && Control().IsRecording()) FinishWindowRun(ScheduleOutcome::Recorded, tr("手で停止しました"));
    m_windowRun.reset();
}

void CMainFrame::FinishWindowRun(ScheduleOutcome outcome, const QString& detail) {
    if (!m_windowRun) return;
    const std::string name = m_windowRun->entry.name;
    m_windowRun.reset();
    if (const Result<void> logged = m_schedule->RecordResult(name, outcome, detail.toStdString()); !logged)
        m_boxes.Warn(Said(logged.error().message));
    if (m_scheduleDlg) m_scheduleDlg->Refresh();
}

namespace {

const char* PreferredManual() {
    return CurrentLanguage() == Language::kEnglish ? kEnglishManualFileName : kManualFileName;
}

}  // namespace

QString ManualPath(const QString& programFolder) {
    const CCharString folder((QDir(programFolder).absolutePath() + QLatin1Char('/')).toStdString());
    const char* preferred = PreferredManual();
    const char* other = preferred == kManualFileName ? kEnglishManualFileName : kManualFileName;
    for (const char* name : {preferred, other})
        for (const CCharString& candidate : InstalledFileSearchPaths(folder, kInstalledDataFolder, name))
            if (QFileInfo(Text(candidate)).isFile()) return QDir::cleanPath(Text(candidate));
    return {};
}

void CMainFrame::OnHelp() {
    const QString manual = ManualPath(m_options.programFolder);
    if (manual.isEmpty()) {
        m_boxes.Inform(tr("マニュアル（%1）が見つかりません。").arg(Text(PreferredManual())));
        return;
    }
    // A window of its own: no browser needed, and the manual's links stay inside it.
    if (!m_manual) m_manual = new CManualWindow(manual, this);
    m_manual->show();
    m_manual->raise();
    m_manual->activateWindow();
}

void CMainFrame::OnShowLog() {
    if (!m_logWindow) m_logWindow = new CLogWindow(Text(m_log->Path()), this);
    m_logWindow->show();
    m_logWindow->raise();
    m_logWindow->activateWindow();
}

void CMainFrame::OpenMakerPage(const char* query) {
    const QString page = Text(MakerPageUrl(m_options.makerSite, query));
    if (!openUrl(QUrl(page))) m_boxes.Inform(tr("ページを開けませんでした。\n%1").arg(page));
}

void CMainFrame::OnAbout() {
    QStringList modules;
    for (const UserText& line : ModuleReport()) modules << Said(line).toHtmlEscaped();
    m_boxes.About(tr("バージョン情報"),
                  tr("<p><b>%1</b></p><p>Velsona %2<br>Linux 版</p><p>使用しているライブラリ:<br>%3</p>"
                     "<p>読み込んだモジュール:<br>%4</p>"
                     "<p>GNU General Public License バージョン 3 以降 (GPL-3.0-or-later)</p>")
                      .arg(Said(ProgramTitle()).toHtmlEscaped(), Text(VELSONA_VERSION),
                           Text(VELSONA_LIBRARIES).toHtmlEscaped().replace(QStringLiteral(", "), QStringLiteral("<br>")),
                           modules.join(QStringLiteral("<br>"))));
}

void CMainFrame::OnCalibrateSilence() {
    // Only the output bar: nothing is written, so an unfinished tag or file field must not
    // stand in the way.
    if (!m_bars->outputBar.Pull()) return;
    // Idle, the measuring session opens the device and format the bars show.
    if (!Control().IsRecording()) Control().settings = m_bars->Settings();
    CCalibration calibration(Control());
    if (calibration.Begin() == CalibrationStep::Failed) {
        m_boxes.Inform(Said(StartFailedMessage()));
        return;
    }
    // The meters show their full range while the user looks for the silence.
    ShowSilenceLevels();
    m_refresh.start();
    while (!calibration.Finished()) {
        if (calibration.Step() == CalibrationStep::AskForSilence) {
            const bool silentNow = m_boxes.Ask(tr(kCalibratePrompt), BoxButtons::OkCancel) == BoxAnswer::Ok;
            calibration.Answer(silentNow ? CalibrationAnswer::Yes : CalibrationAnswer::Cancel);
            continue;
        }
        const BufferLevels levels = calibration.Levels();
        const BoxAnswer answer = m_boxes.Ask(
            tr(kCalibrateQuestion).arg(QString::number(levels.left * 0.1, 'f', 1), QString::number(levels.right * 0.1, 'f', 1)), BoxButtons::YesNoCancel);
        calibration.Answer(answer == BoxAnswer::Yes  ? CalibrationAnswer::Yes
                           : answer == BoxAnswer::No ? CalibrationAnswer::No
                                                     : CalibrationAnswer::Cancel);
    }
    if (calibration.Step() == CalibrationStep::Failed) m_boxes.Inform(Said(StartFailedMessage()));
    // The bars store the thresholds with every preset.
    const SilenceThresholds thresholds = calibration.Thresholds();
    m_bars->silenceLeft = thresholds.left;
    m_bars->silenceRight = thresholds.right;
    ShowSilenceLevels();
    if (!Control().IsRecording()) {
        m_refresh.stop();
        // Its measuring has ended as a recording's stop ends the input.
        m_displays->RecordingStopped();
    }
    RefreshPanes();
}

void CMainFrame::ShowSilenceLevels() {
    m_displays->SetSilenceLevels(Control().settings.silenceLeft, Control().settings.silenceRight);
}

void CMainFrame::ApplyBarsSilenceLevels() {
    Control().SetSilenceLevels(m_bars->silenceLeft, m_bars->silenceRight);
    ShowSilenceLevels();
}

void CMainFrame::RefreshPanes() {
    if (Control().IsWaitingForSound() == m_soundNote.isEmpty()) {
        m_soundNote = Control().IsWaitingForSound() ? tr("音を待っています（無音の間は何も書き込みません）") : QString();
        ShowPrompt(QString());
    }
    const RecordingStatus status = Control().Status();
    m_trackPane->SetText(Said(::TrackPaneText(status)));
    m_totalPane->SetText(Said(::TotalPaneText(status)));
}

void CMainFrame::ShowPrompt(const QString& text) {
    m_prompt->setText(!text.isEmpty()        ? text
                      : !m_inputNote.isEmpty() ? m_inputNote
                      : !m_soundNote.isEmpty() ? m_soundNote
                      : !m_problem.isEmpty()   ? m_problem
                                               : tr(kIdlePrompt));
}

QString CMainFrame::PromptText() const { return m_prompt->text(); }
QString CMainFrame::TrackPaneText() const { return m_trackPane->Text(); }
QString CMainFrame::TotalPaneText() const { return m_totalPane->Text(); }

bool CMainFrame::event(QEvent* event) {
    if (event->type() == QEvent::StatusTip) {
        ShowPrompt(static_cast<QStatusTipEvent*>(event)->tip());
        return true;
    }
    return QMainWindow::event(event);
}

bool CMainFrame::eventFilter(QObject* watched, QEvent* event) {
    // The list does not keep Tab for its cells, and Ctrl+Tab leaves it as it leaves a text field.
    if (watched == m_list && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) && (key->modifiers() & Qt::ControlModifier))
            return focusNextPrevChild(key->key() == Qt::Key_Tab && !(key->modifiers() & Qt::ShiftModifier));
    }
    return QMainWindow::eventFilter(watched, event);
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    EndWindowRunByHand();
    EndRecording();
    // The bars' own save pulls them first, so what the user typed last is kept.
    if (!m_bars->SaveProfile(kDefaultPresetName))
        m_boxes.Warn(tr("設定を %1 に保存できませんでした。").arg(Text(m_store->FilePath())));
    event->accept();
}
