// The input device bar's rules: device and format lists, selection and read-back.
#include "app/bars/InputBarModel.h"

#include <utility>

#include "platform/WaveFormats.h"

CInputBarModel::CInputBarModel(const std::vector<CaptureDeviceInfo>& current) { BuildDevices(current); }

void CInputBarModel::BuildDevices(const std::vector<CaptureDeviceInfo>& current) {
    devices.clear();
    for (const CaptureDeviceInfo& info : current) {
        InputDeviceEntry entry{CCharString(info.name), info.id, {}};
        for (const WaveFormatFlag& f : kWaveFormatFlags)
            if (info.formats & f.flag) entry.formats.push_back({f.flag, f.sampleRate, f.channels, f.bits});
        devices.push_back(std::move(entry));
    }
}

// Devices without a format are left out: there is nothing to record from them.
void CInputBarModel::FillDeviceNames() {
    controls.deviceNames.clear();
    controls.deviceOfItem.clear();
    controls.deviceSelection = -1;
    controls.formatTexts.clear();
    controls.formatOfItem.clear();
    controls.formatSelection = -1;
    for (size_t i = 0; i < devices.size(); ++i) {
        if (devices[i].formats.empty()) continue;
        controls.deviceNames.push_back(devices[i].id == -1
                                           ? UserText("InputBarModel", "%1 (標準)").Arg(devices[i].name.str())
                                           : UserText::Verbatim(devices[i].name.str()));
        controls.deviceOfItem.push_back(static_cast<int>(i));
    }
}

void CInputBarModel::Start() {
    FillDeviceNames();
    WriteControls();
    Push();
}

void CInputBarModel::Push() {
    for (size_t item = 0; item < controls.deviceOfItem.size(); ++item) {
        if (devices[controls.deviceOfItem[item]].id != deviceId) continue;
        controls.deviceSelection = static_cast<int>(item);
        DeviceChanged();
        return;
    }
}

bool CInputBarModel::Pull() {
    ReadControls();
    DeviceChanged();
    return true;
}

void CInputBarModel::OnDeviceSelected() {
    ReadControls();
    DeviceChanged();
}

void CInputBarModel::DeviceChanged() {
    const int item = controls.deviceSelection;
    if (item < 0 || item >= static_cast<int>(controls.deviceOfItem.size())) return;
    devicePosition = controls.deviceOfItem[item];
    const InputDeviceEntry& device = devices[devicePosition];
    deviceId = device.id;
    controls.formatTexts.clear();
    controls.formatOfItem.clear();
    controls.formatSelection = -1;
    for (size_t i = 0; i < device.formats.size(); ++i) {
        const InputFormatEntry& f = device.formats[i];
        if (f.bits == 8) continue;
        const std::string rate = CCharString::Formatted("%2.3f", f.sampleRate * 0.001).str();
        const std::string depth = CCharString::Formatted("%2d", f.bits).str();
        UserText text = f.channels == 1 ? UserText("InputBarModel", "%1 Hz / モノラル / %2 bit")
                                        : UserText("InputBarModel", "%1 Hz / ステレオ / %2 bit");
        controls.formatTexts.push_back(std::move(text.Arg(rate).Arg(depth)));
        controls.formatOfItem.push_back(static_cast<int>(i));
        if (f.sampleRate == sampleRate && f.channels == channels && f.bits == bits)
            controls.formatSelection = static_cast<int>(controls.formatTexts.size()) - 1;
    }
    if (controls.formatSelection < 0) controls.formatSelection = static_cast<int>(controls.formatTexts.size()) - 1;
    WriteControls();
    OnFormatSelected();
}

void CInputBarModel::OnFormatSelected() {
    ReadControls();
    const int item = controls.deviceSelection;
    const int formatItem = controls.formatSelection;
    if (item < 0 || item >= static_cast<int>(controls.deviceOfItem.size())) return;
    if (formatItem < 0 || formatItem >= static_cast<int>(controls.formatOfItem.size())) return;
    const InputDeviceEntry& device = devices[controls.deviceOfItem[item]];
    const int position = controls.formatOfItem[formatItem];
    if (position < 0 || position >= static_cast<int>(device.formats.size())) return;
    formatPosition = formatItem;
    sampleRate = device.formats[position].sampleRate;
    channels = device.formats[position].channels;
    bits = device.formats[position].bits;
}

void CInputBarModel::Refresh(const std::vector<CaptureDeviceInfo>& current) {
    ReadControls();
    const int item = controls.deviceSelection;
    const bool wasSelected = item >= 0 && item < static_cast<int>(controls.deviceOfItem.size());
    const CCharString selectedName = wasSelected ? devices[controls.deviceOfItem[item]].name : CCharString();
    const int selectedId = wasSelected ? devices[controls.deviceOfItem[item]].id : deviceId;
    BuildDevices(current);
    FillDeviceNames();
    if (wasSelected) {
        // Ids are positions in the server's order and move when a device comes or goes; the
        // name (or the default input's id) says which one the user chose.
        bool found = false;
        for (const InputDeviceEntry& device : devices) {
            if (selectedId == -1 ? device.id == -1 : device.id != -1 && device.name == selectedName) {
                deviceId = device.id;
                found = true;
                break;
            }
        }
        if (!found) {
            WriteControls();
            return;
        }
    }
    WriteControls();
    Push();
}
