// The dialog of the 録音 menu's "古い録音の削除".
#include "ui/KeepRecordingsDlg.h"

#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <cmath>

#include "app/settings/RecordingSettings.h"

CKeepRecordingsDlg::CKeepRecordingsDlg(int keepDays, int keepFreeMb, QWidget* parent) : QDialog(parent) {
    setWindowTitle(tr("古い録音の削除"));
    auto* layout = new QVBoxLayout(this);
    auto* about = new QLabel(tr("録音が終わるたびと録音の開始時に、この録音機が録音し、その後変更されていない"
                                "出力先フォルダのファイルを古いものから削除します。ほかのファイル、名前を変えたり"
                                "編集したりしたファイル、録音中のファイルには触れません。"));
    about->setWordWrap(true);
    about->setMinimumWidth(420);
    layout->addWidget(about);

    auto* form = new QFormLayout;
    m_days = new QSpinBox;
    m_days->setRange(0, 36500);
    m_days->setSuffix(tr(" 日"));
    m_days->setSpecialValueText(tr("削除しない"));
    m_days->setValue(keepDays);
    m_days->setAccessibleName(tr("録音を残す日数"));
    auto* daysLabel = new QLabel(tr("録音を残す日数(&D):"));
    daysLabel->setBuddy(m_days);
    form->addRow(daysLabel, m_days);

    m_free = new QDoubleSpinBox;
    m_free->setDecimals(1);
    m_free->setRange(0, kLargestKeepFreeMb / 1024.0);
    m_free->setSuffix(tr(" GB"));
    m_free->setSpecialValueText(tr("削除しない"));
    m_free->setValue(keepFreeMb / 1024.0);
    m_free->setAccessibleName(tr("空けておく容量 (GB)"));
    auto* freeLabel = new QLabel(tr("空けておく容量(&F):"));
    freeLabel->setBuddy(m_free);
    form->addRow(freeLabel, m_free);
    layout->addLayout(form);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Ok)->setText(tr("OK"));
    buttons->button(QDialogButtonBox::Cancel)->setText(tr("キャンセル"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

int CKeepRecordingsDlg::KeepDays() const { return m_days->value(); }

int CKeepRecordingsDlg::KeepFreeMb() const { return static_cast<int>(std::lround(m_free->value() * 1024)); }
