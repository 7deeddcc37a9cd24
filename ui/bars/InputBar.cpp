// The input device bar: device and format lists.
#include "ui/bars/InputBar.h"

#include <QComboBox>
#include <QGridLayout>

CInputBar::CInputBar(CInputBarModel& model, QWidget* parent)
    : CBarWidget(parent), m_model(model), m_device(new QComboBox(this)), m_format(new QComboBox(this)) {
    setObjectName("inputBar");
    m_device->setMinimumWidth(220);
    m_format->setMinimumWidth(200);
    // One list under the other, and a device's long name does not widen the bar: a narrow band
    // fits beside the file bar.
    m_device->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    auto* layout = new QGridLayout(this);
    layout->addWidget(LabelFor(CInputBarModel::kDeviceList, m_device, tr("入力デバイス：")), 0, 0);
    layout->addWidget(m_device, 0, 1);
    layout->addWidget(LabelFor(CInputBarModel::kFormatList, m_format, tr("入力形式：")), 1, 0);
    layout->addWidget(m_format, 1, 1);
    connect(m_device, &QComboBox::activated, this, [this] { m_model.OnDeviceSelected(); });
    connect(m_format, &QComboBox::activated, this, [this] { m_model.OnFormatSelected(); });
    m_model.view = this;
    WriteControls();
}

CInputBar::~CInputBar() {
    m_watch.reset();
    m_model.view = nullptr;
}

void CInputBar::ReadControls() {
    m_model.controls.deviceSelection = m_device->currentIndex();
    m_model.controls.formatSelection = m_format->currentIndex();
}

void CInputBar::WriteControls() {
    CWriteGuard guard(m_writing);
    ShowItems(m_device, m_model.controls.deviceNames);
    m_device->setCurrentIndex(m_model.controls.deviceSelection);
    ShowItems(m_format, m_model.controls.formatTexts);
    m_format->setCurrentIndex(m_model.controls.formatSelection);
}

bool CInputBar::WatchDevices(std::shared_ptr<CCaptureBackend> backend) {
    m_watch.reset();
    m_backend = std::move(backend);
    if (!m_backend) return false;
    // Told on the sound server's thread; the lists change on this one.
    m_watch = m_backend->WatchDevices([this] {
        QMetaObject::invokeMethod(
            this,
            [this] {
                m_model.Refresh(m_backend->ListDevices());
                emit devicesRefreshed();
            },
            Qt::QueuedConnection);
    });
    return m_watch != nullptr;
}
