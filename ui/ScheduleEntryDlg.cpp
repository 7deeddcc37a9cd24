// The form of one schedule entry.
#include "ui/ScheduleEntryDlg.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDateTime>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "app/language/Catalogue.h"
#include "app/settings/SettingsStore.h"
#include "schedule/RecordTimer.h"
#include "ui/DurationBox.h"
#include "ui/MessageBoxes.h"
#include "ui/bars/BarWidget.h"
#include "ui/bars/TimeField.h"

namespace {

constexpr const char* kDayNames[7][2] = {
    {QT_TRANSLATE_NOOP("CScheduleEntryDlg", "月"), QT_TRANSLATE_NOOP("CScheduleEntryDlg", "月曜日")},
    {QT_TRANSLATE_NOOP("CScheduleEntryDlg", "火"), QT_TRANSLATE_NOOP("CScheduleEntryDlg", "火曜日")},
    {QT_TRANSLATE_NOOP("CScheduleEntryDlg", "水"), QT_TRANSLATE_NOOP("CScheduleEntryDlg", "水曜日")},
    {QT_TRANSLATE_NOOP("CScheduleEntryDlg", "木"), QT_TRANSLATE_NOOP("CScheduleEntryDlg", "木曜日")},
    {QT_TRANSLATE_NOOP("CScheduleEntryDlg", "金"), QT_TRANSLATE_NOOP("CScheduleEntryDlg", "金曜日")},
    {QT_TRANSLATE_NOOP("CScheduleEntryDlg", "土"), QT_TRANSLATE_NOOP("CScheduleEntryDlg", "土曜日")},
    {QT_TRANSLATE_NOOP("CScheduleEntryDlg", "日"), QT_TRANSLATE_NOOP("CScheduleEntryDlg", "日曜日")},
};

// A label whose mnemonic moves to `control`, which screen readers then call by its text.
QLabel* LabelFor(QWidget* control, const QString& text) {
    auto* label = new QLabel(text);
    label->setBuddy(control);
    NameControl(control, QString(text).remove(QLatin1Char('&')));
    return label;
}

}  // namespace

CScheduleEntryDlg::CScheduleEntryDlg(const ScheduleEntry& entry, bool isNew, const std::vector<std::string>& presets,
                                     std::time_t now, IMessageBoxes& boxes,
                                     std::function<Result<void>(const ScheduleEntry&)> keep, QWidget* parent)
    : QDialog(parent), m_boxes(boxes), m_keep(std::move(keep)), m_keepDays(entry.keepDays), m_keepFreeMb(entry.keepFreeMb) {
    setWindowTitle(isNew ? tr("スケジュールの追加") : tr("スケジュールの編集"));
    auto* form = new QFormLayout;

    m_name = new QLineEdit(QString::fromStdString(entry.name));
    form->addRow(LabelFor(m_name, tr("名前(&N):")), m_name);

    m_repeat = new QButtonGroup(this);
    auto* repeats = new QHBoxLayout;
    const std::pair<ScheduleRepeat, QString> kinds[] = {
        {ScheduleRepeat::Once, tr("1 回だけ(&O)")}, {ScheduleRepeat::Daily, tr("毎日(&Y)")}, {ScheduleRepeat::Weekly, tr("毎週(&W)")}};
    for (const auto& [kind, text] : kinds) {
        auto* button = new QRadioButton(text);
        m_repeat->addButton(button, static_cast<int>(kind));
        repeats->addWidget(button);
    }
    repeats->addStretch();
    m_repeat->button(static_cast<int>(entry.repeat))->setChecked(true);
    form->addRow(tr("繰り返し:"), repeats);

    // A new entry starts where the timer dialog would propose.
    const QDateTime proposed = QDateTime::fromSecsSinceEpoch(ProposedStartTime(now));
    m_date = new QDateEdit(entry.year > 0 ? QDate(entry.year, entry.month, entry.day) : proposed.date());
    m_date->setCalendarPopup(true);
    m_date->setDisplayFormat(QStringLiteral("yyyy/MM/dd"));  // untranslated: a date format
    form->addRow(LabelFor(m_date, tr("日付(&D):")), m_date);

    auto* days = new QHBoxLayout;
    for (int day = 0; day < 7; ++day) {
        m_days[day] = new QCheckBox(tr(kDayNames[day][0]));
        m_days[day]->setAccessibleName(tr(kDayNames[day][1]));
        m_days[day]->setChecked(entry.weekdays & (1 << day));
        days->addWidget(m_days[day]);
    }
    days->addStretch();
    form->addRow(tr("曜日:"), days);

    m_time = new CTimeField;
    m_time->setTime(isNew ? proposed.time() : QTime(0, 0).addSecs(entry.startSecond));
    form->addRow(LabelFor(m_time, tr("開始時刻(&S):")), m_time);

    m_duration = new CDurationBox;
    if (entry.durationSeconds > 0) m_duration->SetSeconds(entry.durationSeconds);
    else m_duration->setEditText(QStringLiteral("60"));
    auto* duration = new QHBoxLayout;
    duration->addWidget(m_duration, 1);
    duration->addWidget(new QLabel(tr("分")));
    duration->addStretch();
    form->addRow(LabelFor(m_duration, tr("録音時間(&L):")), duration);

    m_preset = new QComboBox;
    for (const std::string& preset : presets)
        m_preset->addItem(Said(PresetDisplayName(CCharString(preset))), QString::fromStdString(preset));
    m_preset->setCurrentIndex(std::max(0, m_preset->findData(QString::fromStdString(entry.preset))));
    form->addRow(LabelFor(m_preset, tr("録音プリセット(&P):")), m_preset);

    m_action = new QComboBox;
    m_action->addItem(tr("何もしない"), static_cast<int>(EndAction::None));
    for (const EndActionChoice& choice : EndActionChoices()) m_action->addItem(Said(choice.text), static_cast<int>(choice.action));
    m_action->setCurrentIndex(std::max(0, m_action->findData(static_cast<int>(entry.endAction))));
    form->addRow(LabelFor(m_action, tr("録音終了時(&E):")), m_action);

    m_enabled = new QCheckBox(tr("このスケジュールを実行する(&R)"));
    m_enabled->setChecked(entry.enabled);
    form->addRow(QString(), m_enabled);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Ok)->setText(tr("OK"));
    buttons->button(QDialogButtonBox::Cancel)->setText(tr("キャンセル"));
    connect(buttons, &QDialogButtonBox::accepted, this, &CScheduleEntryDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CScheduleEntryDlg::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);

    connect(m_repeat, &QButtonGroup::idClicked, this, &CScheduleEntryDlg::ShowRepeat);
    ShowRepeat();
}

void CScheduleEntryDlg::ShowRepeat() {
    const auto repeat = static_cast<ScheduleRepeat>(m_repeat->checkedId());
    m_date->setEnabled(repeat == ScheduleRepeat::Once);
    for (QCheckBox* day : m_days) day->setEnabled(repeat == ScheduleRepeat::Weekly);
}

Result<ScheduleEntry> CScheduleEntryDlg::Entry() {
    ScheduleEntry entry;
    entry.name = m_name->text().trimmed().toStdString();
    entry.repeat = static_cast<ScheduleRepeat>(m_repeat->checkedId());
    if (entry.repeat == ScheduleRepeat::Once) {
        entry.year = m_date->date().year();
        entry.month = m_date->date().month();
        entry.day = m_date->date().day();
    }
    if (entry.repeat == ScheduleRepeat::Weekly)
        for (int day = 0; day < 7; ++day)
            if (m_days[day]->isChecked()) entry.weekdays |= 1 << day;
    if (!m_time->time().isValid()) {
        m_time->setFocus();
        return KindFailure(FailureKind::kBadValue, InvalidStartTimeMessage());
    }
    entry.startSecond = QTime(0, 0).secsTo(m_time->time());
    const Result<int64_t> duration = m_duration->Seconds();
    if (!duration) {
        m_duration->setFocus();
        return duration.error();
    }
    entry.durationSeconds = *duration;
    entry.preset = m_preset->currentData().toString().toStdString();
    entry.endAction = static_cast<EndAction>(m_action->currentData().toInt());
    entry.enabled = m_enabled->isChecked();
    entry.keepDays = m_keepDays;
    entry.keepFreeMb = m_keepFreeMb;
    return entry;
}

void CScheduleEntryDlg::accept() {
    const Result<ScheduleEntry> entry = Entry();
    const Result<void> kept = entry ? m_keep(*entry) : Result<void>(entry.error());
    if (!kept) {
        m_boxes.Inform(Said(kept.error().message));
        return;
    }
    QDialog::accept();
}
