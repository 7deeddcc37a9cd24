// Pre-start checks and the free-space estimate.
#include "app/control/StartChecks.h"

#include <cerrno>
#include <cstring>
#include <unistd.h>
#include <vector>

#include "app/files/FileNameTemplate.h"
#include "app/settings/OutputFormats.h"
#include "foundation/PathUtils.h"
#include "platform/CaptureBackend.h"
#include "platform/DiskSpace.h"
#include "platform/WaveFormats.h"

namespace {

constexpr double kLowSpaceHours = 1.0;

}  // namespace

Result<void> CheckFileNameTemplate(const CCharString& fileNameTemplate) {
    CCharString name = FileNameOf(WithoutFormatExtension(fileNameTemplate));
    name.Trim();
    if (!name.IsEmpty()) return {};
    return KindFailure(FailureKind::kBadValue,
                       "保存ファイル名が空か、拡張子だけです。ファイル名を入力してください: 「" + fileNameTemplate.str() + "」");
}

Result<void> CheckOutputFormat(OutputFormat outputFormat) { return OutputFormatAvailable(outputFormat); }

Result<void> CheckInputDevice(CCaptureBackend& backend, const RecordingSettings& settings) {
    for (const CaptureDeviceInfo& device : backend.ListDevices()) {
        if (device.id != settings.inputDevice) continue;
        if (device.formats & WaveFormatFlagFor(settings.sampleRate, settings.channels, settings.bitsPerSample))
            return {};
        return KindFailure(FailureKind::kBadValue, "input device " + std::to_string(device.id) + " (" + device.name + ") cannot capture " +
                       std::to_string(settings.sampleRate) + " Hz, " + std::to_string(settings.channels) +
                       " channel(s), " + std::to_string(settings.bitsPerSample) + " bit");
    }
    return KindFailure(FailureKind::kMissing, "there is no input device " + std::to_string(settings.inputDevice) + " on " + backend.Name() +
                   " (see velsona-rec --list-devices)");
}

Result<void> CheckOutputFolder(const CCharString& folder) {
    // A refused folder leaves nothing behind: the levels made for it go again.
    std::vector<CCharString> created;
    if (!EnsureFolder(folder, &created)) {
        const int error = errno;
        return SystemFailure(error, "cannot create the output folder " + folder.str() + ": " + std::strerror(error));
    }
    // Creating a file is the only test that also holds for root, read-only mounts and ACLs.
    std::string probe = NormalizeSeparators(folder).str();
    if (probe.back() != '/') probe += '/';
    probe += ".velsona-rec-XXXXXX";
    const int fd = mkstemp(probe.data());
    if (fd < 0) {
        const int error = errno;
        RemoveCreatedFolders(created);
        return SystemFailure(error, "cannot write into the output folder " + folder.str() + ": " + std::strerror(error));
    }
    close(fd);
    unlink(probe.c_str());
    return {};
}

Result<void> CheckBeforeStart(CCaptureBackend& backend, const RecordingSettings& settings) {
    Result<void> check = CheckFileNameTemplate(settings.fileNameTemplate);
    if (check) check = CheckOutputFormat(settings.outputFormat);
    if (check) check = CheckInputDevice(backend, settings);
    if (check) check = CheckOutputFolder(settings.outputFolder);
    return check;
}

std::string ByteCountText(uint64_t bytes) {
    if (bytes >= 1000000000ULL) return CCharString::Formatted("%.1f GB", bytes / 1e9).str();
    if (bytes >= 1000000ULL) return CCharString::Formatted("%.1f MB", bytes / 1e6).str();
    return std::to_string(bytes) + " bytes";
}

Result<SpaceEstimate> EstimateSpace(const RecordingSettings& settings, const RecordingSchedule* schedule) {
    const Result<DiskSpace> measured = QueryDiskSpace(settings.outputFolder);
    if (!measured)
        return SystemFailure(measured.error().error,
                             "note: the free space of " + settings.outputFolder.str() + " cannot be measured");
    const DiskSpace& space = *measured;
    SpaceEstimate estimate;
    estimate.freeBytes = space.freeBytes;
    estimate.bytesPerSecond = OutputBytesPerSecond(settings);
    estimate.hours = HoursAtByteRate(space.freeBytes, estimate.bytesPerSecond);
    if (estimate.hours < 0) {
        // An unknown rate gives no hours worth printing.
        estimate.summary = "Free space: " + ByteCountText(space.freeBytes);
        return estimate;
    }
    estimate.summary = CCharString::Formatted("Free space: %s, about %.1f hours at %.0f kbit/s",
                                              ByteCountText(space.freeBytes).c_str(), estimate.hours,
                                              estimate.bytesPerSecond * 8 / 1000)
                           .str();
    const bool timed = schedule && schedule->StopsAfterDuration();
    const double wantedHours = timed ? schedule->durationSeconds / 3600.0 : kLowSpaceHours;
    if (estimate.hours < wantedHours)
        estimate.warning =
            CCharString::Formatted("warning: the output folder holds only %.2f hours of this recording", estimate.hours)
                .str();
    return estimate;
}
