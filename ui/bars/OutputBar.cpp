// The output settings bar: two groups, format and quality on the left, track settings on the right.
#include "ui/bars/OutputBar.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QRegularExpression>
#include <QSlider>
#include <QSpinBox>

#include "app/language/Catalogue.h"
#include "ui/bars/TimeField.h"

namespace {

QSpinBox* NumberBox(QWidget* parent) {
    auto* box = new QSpinBox(parent);
    // As wide as six digits, not as the largest number: the bar must fit a small screen.
    box->setRange(COutputBarModel::kNumberMin, 999999);
    box->setFixedWidth(box->sizeHint().width());
    box->setRange(COutputBarModel::kNumberMin, COutputBarModel::kNumberMax);
    box->setAlignment(Qt::AlignRight);
    return box;
}

}  // namespace

COutputBar::COutputBar(COutputBarModel& model, QWidget* parent)
    : CBarWidget(parent),
      m_model(model),
      m_outputGroup(new QGroupBox(this)),
      m_format(new QComboBox(this)),
      m_quality(new QComboBox(this)),
      m_oggQuality(new QSlider(Qt::Horizontal, this)),
      m_recordingNumber(NumberBox(this)),
      m_trackNumber(NumberBox(this)),
      m_splitMethod(new QComboBox(this)),
      m_splitTimeLabel(new QLabel(this)),
      m_splitTime(new CTimeField(this)),
      m_skipSilence(new QCheckBox(tr("音のあるときだけ録音(&K)"), this)),
      m_preRollLabel(new QLabel(tr("プリロール(&J)："), this)),
      m_preRoll(new QSpinBox(this)),
      m_alignToClock(new QCheckBox(tr("時計に合わせて分割(&G)"), this)) {
    setObjectName("outputBar");
    // A format's name is the same in every language.
    for (const FormatRow& row : FormatRows()) m_format->addItem(QString::fromUtf8(row.listName));
    for (const char* text : COutputBarModel::kSplitMethodTexts)
        m_splitMethod->addItem(QCoreApplication::translate("OutputBarModel", text));
    // Sized to its rows rather than to fixed pixels: the fonts here are not the Windows ones.
    m_quality->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    m_oggQuality->setRange(0, 100);
    m_oggQuality->setMinimumWidth(80);
    m_oggQuality->setTickPosition(QSlider::NoTicks);
    m_splitTime->setAlignment(Qt::AlignRight);

    auto* output = new QGridLayout(m_outputGroup);
    output->addWidget(LabelFor(COutputBarModel::kFormatList, m_format, tr("ファイル形式：")), 0, 0);
    output->addWidget(m_format, 0, 1, 1, 2);
    output->addWidget(LabelFor(COutputBarModel::kQualityList, m_quality, tr("音質：")), 1, 0);
    output->addWidget(m_quality, 1, 1);
    output->addWidget(m_oggQuality, 1, 2);
    AddControl(COutputBarModel::kOggSlider, m_oggQuality, tr("OGG音質"));

    auto* trackGroup = new QGroupBox(tr("トラック設定"), this);
    auto* track = new QGridLayout(trackGroup);
    track->addWidget(LabelFor(COutputBarModel::kRecordingNumber, m_recordingNumber, tr("収録No：")), 0, 0);
    track->addWidget(m_recordingNumber, 0, 1);
    track->addWidget(LabelFor(COutputBarModel::kTrackNumber, m_trackNumber, tr("ﾄﾗｯｸNo：")), 1, 0);
    track->addWidget(m_trackNumber, 1, 1);
    track->addWidget(LabelFor(COutputBarModel::kSplitMethodList, m_splitMethod, tr("分割方法：")), 0, 2);
    track->addWidget(m_splitMethod, 0, 3);
    m_splitTimeLabel->setBuddy(m_splitTime);
    track->addWidget(m_splitTimeLabel, 1, 2);
    track->addWidget(m_splitTime, 1, 3);
    AddControl(COutputBarModel::kSplitTime, m_splitTime, tr("分割時間"));
    // Beside the silence split, whose thresholds and length it uses.
    m_preRoll->setRange(0, kMaxPreRollSeconds);
    m_preRoll->setSuffix(tr(" 秒"));
    m_preRoll->setAlignment(Qt::AlignRight);
    m_preRoll->setFixedWidth(m_preRoll->sizeHint().width());
    m_preRollLabel->setBuddy(m_preRoll);
    m_skipSilence->setToolTip(tr("無音が無音時間だけ続くとトラックを閉じ、音が戻るまで何も書きません。"
                                 "次のトラックは、音の前のプリロールの秒数から始まります"));
    track->addWidget(m_skipSilence, 0, 4, 1, 2);
    track->addWidget(m_preRollLabel, 1, 4);
    track->addWidget(m_preRoll, 1, 5);
    AddControl(COutputBarModel::kSkipSilence, m_skipSilence, tr("音のあるときだけ録音"));
    AddControl(COutputBarModel::kPreRoll, m_preRoll, tr("プリロール"));
    // In the place of skipping silence, which the interval method cannot use.
    track->addWidget(m_alignToClock, 0, 4, 1, 2);
    // Named as it reads, without its mnemonic ("(&K)" or "&").
    AddControl(COutputBarModel::kAlignToClock, m_alignToClock,
               m_alignToClock->text().remove(QRegularExpression(QStringLiteral("\\(&.\\)|&"))));
    m_alignToClock->setToolTip(tr("一定時間で分割するとき、トラックの区切りを午前0時から数えた間隔の倍数の時刻 "
                                  "(1時間なら毎正時) に合わせます。最初のトラックは次の区切りまでです"));

    auto* layout = new QHBoxLayout(this);
    layout->addWidget(m_outputGroup);
    layout->addWidget(trackGroup);

    connect(m_format, &QComboBox::activated, this, [this] {
        m_model.OnFormatSelected();
        emit edited();
    });
    connect(m_quality, &QComboBox::activated, this, [this] {
        m_model.OnQualitySelected();
        emit edited();
    });
    connect(m_oggQuality, &QSlider::valueChanged, this, [this](int position) {
        if (m_writing) return;
        m_model.OnSliderMoved(position);
        emit edited();
    });
    connect(m_splitMethod, &QComboBox::activated, this, [this] {
        m_model.OnSplitMethodSelected();
        emit edited();
    });
    connect(m_splitTime, &CTimeField::timeChanged, this, [this] {
        if (!m_writing) emit edited();
    });
    connect(m_skipSilence, &QCheckBox::toggled, this, [this] {
        if (!m_writing) emit edited();
    });
    connect(m_preRoll, &QSpinBox::valueChanged, this, [this] {
        if (!m_writing) emit edited();
    });
    connect(m_alignToClock, &QCheckBox::toggled, this, [this] {
        if (!m_writing) emit edited();
    });
    connect(m_recordingNumber, &QSpinBox::valueChanged, this, [this] {
        if (!m_writing) emit edited();
    });
    connect(m_trackNumber, &QSpinBox::valueChanged, this, [this] {
        if (!m_writing) emit trackNumberEdited();
    });

    m_model.view = this;
    WriteControls();
}

COutputBar::~COutputBar() { m_model.view = nullptr; }

void COutputBar::ReadControls() {
    OutputBarControls& c = m_model.controls;
    // The list holds the model's formats in their order; with none selected the format stays.
    if (m_format->currentIndex() >= 0) c.formatSelection = FormatRows()[m_format->currentIndex()].format;
    c.qualitySelection = m_quality->currentIndex();
    c.sliderPosition = m_oggQuality->value();
    c.recordingNumberText = FromQt(m_recordingNumber->text());
    c.trackNumberText = FromQt(m_trackNumber->text());
    c.splitSelection = m_splitMethod->currentIndex();
    const QTime time = m_splitTime->time();
    c.splitTimeReadable = time.isValid();
    c.alignToClockChecked = m_alignToClock->isChecked();
    if (c.splitTimeReadable)
        c.splitTime = {static_cast<uint16_t>(time.hour()), static_cast<uint16_t>(time.minute()),
                       static_cast<uint16_t>(time.second()), static_cast<uint16_t>(time.msec())};
    c.skipSilenceChecked = m_skipSilence->isChecked();
    c.preRollSeconds = m_preRoll->value();
}

void COutputBar::WriteControls() {
    CWriteGuard guard(m_writing);
    const OutputBarControls& c = m_model.controls;
    for (size_t i = 0; i < FormatRows().size(); ++i)
        if (FormatRows()[i].format == c.formatSelection) m_format->setCurrentIndex(static_cast<int>(i));
    ShowItems(m_quality, c.qualityLabels);
    m_quality->setCurrentIndex(c.qualitySelection);
    m_oggQuality->setVisible(c.sliderVisible);
    m_oggQuality->setValue(c.sliderPosition);
    m_outputGroup->setTitle(Said(c.groupCaption));
    int number = 0;
    if (ParseBarInteger(c.recordingNumberText, number)) m_recordingNumber->setValue(number);
    if (ParseBarInteger(c.trackNumberText, number)) m_trackNumber->setValue(number);
    m_splitMethod->setCurrentIndex(c.splitSelection);
    m_splitTimeLabel->setText(Said(c.splitTimeLabel));
    // An empty label would be read as its group's title.
    m_splitTimeLabel->setVisible(!c.splitTimeLabel.empty());
    // A screen reader names the field as the label reads ("分割時間", "無音時間"); hidden without one.
    if (!c.splitTimeLabel.empty()) NameControl(m_splitTime, m_splitTimeLabel->text());
    m_splitTime->setVisible(c.splitTimeVisible);
    m_splitTime->setTime(QTime(c.splitTime.hours, c.splitTime.minutes, c.splitTime.seconds, c.splitTime.milliseconds));
    m_skipSilence->setChecked(c.skipSilenceChecked);
    m_preRoll->setValue(c.preRollSeconds);
    for (QWidget* control : {static_cast<QWidget*>(m_skipSilence), static_cast<QWidget*>(m_preRollLabel),
                             static_cast<QWidget*>(m_preRoll)}) {
        control->setEnabled(c.skipSilenceEnabled);
        // The interval method shows cutting on the clock in their place.
        control->setVisible(!c.alignToClockOffered);
    }
    m_alignToClock->setChecked(c.alignToClockChecked);
    // Beside the split time, shown as it is: the other methods have no interval to keep to the clock.
    m_alignToClock->setVisible(c.alignToClockOffered);
}
