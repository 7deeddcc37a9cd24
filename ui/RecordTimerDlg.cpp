// The recording timer dialog.
#include "ui/RecordTimerDlg.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDateTime>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "app/language/Catalogue.h"
#include "schedule/RecordTimer.h"
#include "ui/DurationBox.h"
#include "ui/MessageBoxes.h"
#include "ui/bars/BarWidget.h"
#include "ui/bars/TimeField.h"

namespace {

QRadioButton* AddChoice(QButtonGroup* group, int id, const QString& text, QLayout* layout) {
    auto* button = new QRadioButton(text);
    group->addButton(button, id);
    layout->addWidget(button);
    return button;
}

}  // namespace

CRecordTimerDlg::CRecordTimerDlg(IMessageBoxes& boxes, std::time_t now, QWidget* parent)
    : QDialog(parent), m_boxes(boxes) {
    setWindowTitle(tr("録音タイマー設定"));
    auto* layout = new QVBoxLayout(this);

    auto* startBox = new QGroupBox(tr("録音開始"));
    auto* startLayout = new QVBoxLayout(startBox);
    m_start = new QButtonGroup(this);
    AddChoice(m_start, 0, tr("今すぐ開始する"), startLayout)->setChecked(true);
    AddChoice(m_start, 1, tr("指定日時/時刻で開始する"), startLayout);
    const QDateTime proposed = QDateTime::fromSecsSinceEpoch(ProposedStartTime(now));
    m_date = new QDateEdit(proposed.date());
    m_date->setCalendarPopup(true);
    m_date->setDisplayFormat(QStringLiteral("yyyy/MM/dd"));
    m_date->setAccessibleName(tr("開始日"));
    m_time = new CTimeField;
    m_time->setTime(proposed.time());
    m_time->setAccessibleName(tr("開始時刻"));
    auto* when = new QHBoxLayout;
    when->addSpacing(20);
    when->addWidget(m_date);
    when->addWidget(m_time);
    when->addStretch();
    startLayout->addLayout(when);
    layout->addWidget(startBox);

    auto* endBox = new QGroupBox(tr("録音終了"));
    auto* endLayout = new QVBoxLayout(endBox);
    m_end = new QButtonGroup(this);
    AddChoice(m_end, 0, tr("手動（停止ボタン）で停止する"), endLayout)->setChecked(true);
    AddChoice(m_end, 1, tr("経過時間で停止する"), endLayout);
    m_duration = new CDurationBox;
    NameControl(m_duration, tr("録音時間（分）"));
    m_duration->setEditText(QStringLiteral("5"));
    auto* duration = new QHBoxLayout;
    duration->addSpacing(20);
    duration->addWidget(m_duration, 1);
    duration->addWidget(new QLabel(tr("分")));
    duration->addStretch();
    endLayout->addLayout(duration);
    m_actionWanted = new QCheckBox(tr("録音終了時に下記アクションを実行する"));
    endLayout->addWidget(m_actionWanted);
    m_action = new QComboBox;
    m_action->setAccessibleName(tr("終了時のアクション"));
    for (const EndActionChoice& choice : EndActionChoices())
        m_action->addItem(Said(choice.text), static_cast<int>(choice.action));
    m_action->setCurrentIndex(0);
    endLayout->addWidget(m_action);
    endLayout->addWidget(new QLabel(tr("※手動停止による録音終了時は実行されません")));
    layout->addWidget(endBox);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Ok)->setText(tr("開始"));
    buttons->button(QDialogButtonBox::Cancel)->setText(tr("キャンセル"));
    connect(buttons, &QDialogButtonBox::accepted, this, &CRecordTimerDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CRecordTimerDlg::reject);
    layout->addWidget(buttons);
}

void CRecordTimerDlg::accept() {
    RecordingSchedule schedule;
    schedule.startMode = m_start->checkedId() == 1 ? 1 : 0;
    schedule.endMode = m_end->checkedId() == 1 ? 1 : 0;
    if (schedule.endMode == 1) {
        const Result<int64_t> duration = m_duration->Seconds();
        if (!duration) {
            m_boxes.Inform(Said(duration.error().message));
            return;
        }
        schedule.durationSeconds = *duration;
    }
    if (schedule.startMode == 1 && !m_time->time().isValid()) {
        m_boxes.Refuse(Said(InvalidStartTimeMessage()));
        m_time->setFocus();
        return;
    }
    schedule.startTime = QDateTime(m_date->date(), m_time->time()).toSecsSinceEpoch();
    if (schedule.endMode == 1) {
        schedule.endActionArmed = m_actionWanted->isChecked();
        schedule.endAction = static_cast<EndAction>(m_action->currentData().toInt());
    }
    m_schedule = schedule;
    QDialog::accept();
}
