// The recording schedule dialog.
#include "ui/ScheduleDlg.h"

#include <QDateTime>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "app/control/ScheduleBook.h"
#include "app/language/Catalogue.h"
#include "app/settings/RecordingSettings.h"
#include "schedule/RecordingSchedule.h"
#include "schedule/ScheduleLog.h"
#include "ui/MessageBoxes.h"
#include "ui/ScheduleEntryDlg.h"

namespace {

constexpr int kRefreshMs = 2000;
constexpr int kNameRole = Qt::UserRole;
constexpr int kTimeRole = Qt::UserRole + 1;

QString TimeText(std::time_t time) {
    return QDateTime::fromSecsSinceEpoch(time).toString(QStringLiteral("yyyy/MM/dd HH:mm:ss"));  // untranslated: a date format
}

}  // namespace

CScheduleDlg::CScheduleDlg(CScheduleBook& book, IMessageBoxes& boxes, std::function<std::vector<std::string>()> presets,
                           QWidget* parent)
    : QDialog(parent), m_book(book), m_boxes(boxes), m_presets(std::move(presets)) {
    setWindowTitle(tr("録音スケジュール"));
    setModal(false);

    m_entries = new QTreeWidget;
    m_entries->setRootIsDecorated(false);
    m_entries->setAllColumnsShowFocus(true);
    m_entries->setColumnCount(kColumnCount);
    m_entries->setHeaderLabels({tr("名前"), tr("予定"), tr("録音時間"), tr("次回の開始"), tr("前回の結果")});
    m_entries->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_entries->header()->setStretchLastSection(true);
    m_entries->setAccessibleName(tr("スケジュールの一覧"));
    auto* entriesLabel = new QLabel(tr("スケジュール(&C):"));
    entriesLabel->setBuddy(m_entries);

    m_add = new QPushButton(tr("追加(&A)..."));
    m_edit = new QPushButton(tr("編集(&E)..."));
    m_remove = new QPushButton(tr("削除(&D)"));
    m_enable = new QPushButton(tr("有効にする(&N)"));
    auto* commands = new QVBoxLayout;
    for (QPushButton* button : {m_add, m_edit, m_remove, m_enable}) {
        button->setAutoDefault(false);
        commands->addWidget(button);
    }
    commands->addStretch();

    m_nextStarts = new QListWidget;
    m_nextStarts->setAccessibleName(tr("次の %1 回の開始").arg(kShownStarts));
    m_nextStarts->setMaximumHeight(m_nextStarts->fontMetrics().height() * (kShownStarts + 1) + 8);
    auto* nextLabel = new QLabel(tr("次の %1 回の開始(&X):").arg(kShownStarts));
    nextLabel->setBuddy(m_nextStarts);

    m_note = new QLabel;
    m_note->setWordWrap(true);
    m_note->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close);
    buttons->button(QDialogButtonBox::Close)->setText(tr("閉じる"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* top = new QHBoxLayout;
    auto* list = new QVBoxLayout;
    list->addWidget(entriesLabel);
    list->addWidget(m_entries, 1);
    list->addWidget(nextLabel);
    list->addWidget(m_nextStarts);
    top->addLayout(list, 1);
    top->addLayout(commands);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addWidget(m_note);
    layout->addWidget(buttons);
    setTabOrder(m_entries, m_add);
    setTabOrder(m_add, m_edit);
    setTabOrder(m_edit, m_remove);
    setTabOrder(m_remove, m_enable);
    setTabOrder(m_enable, m_nextStarts);
    resize(760, 440);

    connect(m_add, &QPushButton::clicked, this, &CScheduleDlg::OnAdd);
    connect(m_edit, &QPushButton::clicked, this, &CScheduleDlg::OnEdit);
    connect(m_remove, &QPushButton::clicked, this, &CScheduleDlg::OnRemove);
    connect(m_enable, &QPushButton::clicked, this, &CScheduleDlg::OnEnable);
    connect(m_entries, &QTreeWidget::itemActivated, this, &CScheduleDlg::OnEdit);
    connect(m_entries, &QTreeWidget::currentItemChanged, this, &CScheduleDlg::ShowCurrent);
    connect(m_entries, &QTreeWidget::itemChanged, this, &CScheduleDlg::OnItemChanged);
    m_refresh.setInterval(kRefreshMs);
    connect(&m_refresh, &QTimer::timeout, this, &CScheduleDlg::Refresh);
    Reload();
}

void CScheduleDlg::showEvent(QShowEvent* event) {
    Reload();
    m_refresh.start();
    QDialog::showEvent(event);
}

void CScheduleDlg::hideEvent(QHideEvent* event) {
    m_refresh.stop();
    QDialog::hideEvent(event);
}

void CScheduleDlg::Reload() {
    if (const Result<void> loaded = m_book.Load(); !loaded) m_boxes.Warn(Said(loaded.error().message));
    Refresh();
}

void CScheduleDlg::Refresh() {
    const std::string current = CurrentName();
    const std::vector<ScheduleEntry>& entries = m_book.Entries();
    // Rows are kept while the entries are the same ones, so the keyboard's place stays.
    bool same = m_entries->topLevelItemCount() == static_cast<int>(entries.size());
    for (size_t row = 0; same && row < entries.size(); ++row)
        same = m_entries->topLevelItem(static_cast<int>(row))->data(kNameColumn, kNameRole).toString().toStdString() ==
               entries[row].name;
    const std::map<std::string, ScheduleResult> results = m_book.LastResults();
    const QSignalBlocker quiet(m_entries);
    if (!same) m_entries->clear();
    for (size_t row = 0; row < entries.size(); ++row) {
        const ScheduleEntry& entry = entries[row];
        QTreeWidgetItem* item = same ? m_entries->topLevelItem(static_cast<int>(row)) : new QTreeWidgetItem(m_entries);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setData(kNameColumn, kNameRole, QString::fromStdString(entry.name));
        item->setText(kNameColumn, QString::fromStdString(entry.name));
        item->setCheckState(kNameColumn, entry.enabled ? Qt::Checked : Qt::Unchecked);
        item->setText(kWhenColumn, Said(DescribeWhen(entry)));
        item->setText(kDurationColumn, Said(FormatDuration(entry.durationSeconds)));
        const std::vector<std::time_t> next = m_book.UpcomingStarts(entry, 1);
        item->setText(kNextColumn, !entry.enabled ? tr("無効") : next.empty() ? tr("なし") : TimeText(next.front()));
        const auto last = results.find(entry.name);
        const bool any = last != results.end();
        item->setText(kResultColumn, any ? tr("%1 (%2)").arg(Said(OutcomeText(last->second.outcome)), TimeText(last->second.time))
                                         : tr("まだありません"));
        item->setToolTip(kResultColumn, any ? QString::fromStdString(last->second.detail) : QString());
    }
    if (!same) Select(current);
    m_note->setText(Said(m_book.HowEntriesRun()));
    ShowCurrent();
}

std::string CScheduleDlg::CurrentName() const {
    const QTreeWidgetItem* item = m_entries->currentItem();
    return item ? item->data(kNameColumn, kNameRole).toString().toStdString() : std::string();
}

void CScheduleDlg::Select(const std::string& name) {
    for (int row = 0; row < m_entries->topLevelItemCount(); ++row)
        if (m_entries->topLevelItem(row)->data(kNameColumn, kNameRole).toString().toStdString() == name)
            m_entries->setCurrentItem(m_entries->topLevelItem(row));
    if (!m_entries->currentItem() && m_entries->topLevelItemCount() > 0)
        m_entries->setCurrentItem(m_entries->topLevelItem(0));
}

void CScheduleDlg::ShowCurrent() {
    const ScheduleEntry* entry = FindEntry(m_book.Entries(), CurrentName());
    m_edit->setEnabled(entry);
    m_remove->setEnabled(entry);
    m_enable->setEnabled(entry);
    m_enable->setText(entry && entry->enabled ? tr("無効にする(&N)") : tr("有効にする(&N)"));
    m_nextStarts->clear();
    if (!entry) return;
    for (std::time_t start : m_book.UpcomingStarts(*entry, kShownStarts)) {
        auto* line = new QListWidgetItem(TimeText(start), m_nextStarts);
        line->setData(kTimeRole, static_cast<qlonglong>(start));
    }
}

void CScheduleDlg::RunForm(const std::string& name) {
    const ScheduleEntry* old = FindEntry(m_book.Entries(), name);
    ScheduleEntry entry = old ? *old : ScheduleEntry{};
    if (!old) entry.preset = kDefaultPresetName;
    std::string kept;
    CScheduleEntryDlg form(entry, !old, m_presets(), std::time(nullptr), m_boxes, [&](const ScheduleEntry& edited) {
        if (Result<void> put = m_book.Put(edited, name); !put) return put;
        kept = edited.name;
        return Result<void>();
    }, this);
    if (!m_boxes.Run(form) && kept.empty()) return;
    Refresh();
    Select(kept);
    emit Changed();
    // Allowed, but said: the user may have meant another day or time.
    if (const std::vector<std::string> others = m_book.Overlapping(*FindEntry(m_book.Entries(), kept), kept); !others.empty())
        m_boxes.Warn(Said(m_book.OverlapWarning(others)));
}

void CScheduleDlg::OnAdd() { RunForm({}); }

void CScheduleDlg::OnEdit() {
    if (!CurrentName().empty()) RunForm(CurrentName());
}

void CScheduleDlg::OnRemove() {
    const std::string name = CurrentName();
    if (name.empty()) return;
    if (m_boxes.Ask(tr("スケジュール「%1」を削除しますか？").arg(QString::fromStdString(name)), BoxButtons::YesNo) != BoxAnswer::Yes)
        return;
    if (const Result<void> removed = m_book.Remove(name); !removed) m_boxes.Inform(Said(removed.error().message));
    else emit Changed();
    Refresh();
}

void CScheduleDlg::OnEnable() {
    const ScheduleEntry* entry = FindEntry(m_book.Entries(), CurrentName());
    if (!entry) return;
    if (const Result<void> set = m_book.SetEnabled(entry->name, !entry->enabled); !set) m_boxes.Inform(Said(set.error().message));
    else emit Changed();
    Refresh();
}

void CScheduleDlg::OnItemChanged(QTreeWidgetItem* item, int column) {
    if (column != kNameColumn) return;
    const std::string name = item->data(kNameColumn, kNameRole).toString().toStdString();
    const ScheduleEntry* entry = FindEntry(m_book.Entries(), name);
    if (!entry || entry->enabled == (item->checkState(kNameColumn) == Qt::Checked)) return;
    m_entries->setCurrentItem(item);
    // Deferred: the list is still inside its own check handling.
    QTimer::singleShot(0, this, &CScheduleDlg::OnEnable);
}
