// CInputBar: the input device bar's widgets over CInputBarModel; it lists the devices anew
// when the sound server reports one added or removed.
#pragma once

#include <memory>

#include "app/bars/InputBarModel.h"
#include "ui/bars/BarWidget.h"

class QComboBox;

class CInputBar : public CBarWidget {
    Q_OBJECT
public:
    CInputBar(CInputBarModel& model, QWidget* parent = nullptr);
    ~CInputBar() override;

    void ReadControls() override;
    void WriteControls() override;

    // Follows the backend's devices from now on; false when the backend cannot tell.
    bool WatchDevices(std::shared_ptr<CCaptureBackend> backend);

signals:
    // The device list was listed anew.
    void devicesRefreshed();

private:
    CInputBarModel& m_model;
    QComboBox* m_device;
    QComboBox* m_format;
    std::shared_ptr<CCaptureBackend> m_backend;
    std::unique_ptr<CDeviceWatch> m_watch;  // last: it stops before the rest goes
};
