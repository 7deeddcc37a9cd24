// CInputBarModel: the input device bar without its widgets: the devices of the capture layer,
// their 16-bit formats, the stored device and format, and the refresh when devices come or go.
#pragma once

#include <cstdint>
#include <vector>

#include "app/bars/BarModel.h"
#include "foundation/UserText.h"
#include "platform/CaptureBackend.h"

struct InputFormatEntry {
    uint32_t flag = 0;  // the WAVE_FORMAT_* bit it came from
    int sampleRate = 0;
    int channels = 0;
    int bits = 0;
};

struct InputDeviceEntry {
    CCharString name;
    int id = -1;  // -1 the default input
    std::vector<InputFormatEntry> formats;
};

// What the bar's two lists show; each item carries the position it stands for.
struct InputBarControls {
    std::vector<UserText> deviceNames;
    std::vector<int> deviceOfItem;  // position in the device list
    int deviceSelection = -1;
    std::vector<UserText> formatTexts;
    std::vector<int> formatOfItem;  // position in the device's format list
    int formatSelection = -1;
};

class CInputBarModel : public CBarModel {
public:
    enum ControlId { kDeviceList = 1002, kFormatList = 1001 };

    explicit CInputBarModel(const std::vector<CaptureDeviceInfo>& devices = {});

    // Fields, in the bar's order.
    std::vector<InputDeviceEntry> devices;
    int deviceId = -1;
    int bits = 16;
    int sampleRate = 44100;
    int channels = 2;
    int devicePosition = 0;
    int formatPosition = 0;

    InputBarControls controls;

    // Fills the device list and selects the stored device.
    void Start();
    // Selects the device with the stored id and its stored format; a device that is gone
    // leaves both lists without selection and the values as they are.
    void Push();
    // Never refuses.
    bool Pull();
    void OnDeviceSelected();
    void OnFormatSelected();
    // The sound server's devices changed: lists them anew. The selected device stays selected
    // (under its new id) while it is there; when it went away both lists lose their selection
    // and the stored id stays, to be asked for at the next start.
    void Refresh(const std::vector<CaptureDeviceInfo>& current);

private:
    void BuildDevices(const std::vector<CaptureDeviceInfo>& current);
    void FillDeviceNames();
    void DeviceChanged();
};
