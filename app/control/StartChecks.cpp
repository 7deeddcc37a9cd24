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

StartCheck Refused(std::string message) { return {false, std::move(message)}; }

}  // namespace

StartCheck CheckFileNameTemplate(const CCharString& fileNameTemplate) {
    CCharString name = FileNameOf(WithoutFormatExtension(fileNameTemplate));
    name.Trim();
    if (!name.IsEmpty()) return {};
    return Refused("保存ファイル名が空か、拡張子だけです。ファイル名を入力してください: 「" + fileNameTemplate.str() + "」");
}

StartCheck CheckOutputFormat(OutputFormat outputFormat) {
    std::string why;
    return OutputFormatAvailable(outputFormat, why) ? StartCheck() : Refused(why);
}

StartCheck CheckInputDevice(CCaptureBackend& backend, const RecordingSettings& settings) {
    for (const CaptureDeviceInfo& device : backend.ListDevices()) {
        if (device.id != settings.inputDevice) continue;
        if (device.formats & WaveFormatFlagFor(settings.sampleRate, settings.channels, settings.bitsPerSample))
            return {};
        return Refused("input device " + std::to_string(device.id) + " (" + device.name + ") cannot capture " +
                       std::to_string(settings.sampleRate) + " Hz, " + std::to_string(settings.channels) +
                       " channel(s), " + std::to_string(settings.bitsPerSample) + " bit");
    }
    return Refused("there is no input device " + std::to_string(settings.inputDevice) + " on " + backend.Name() +
                   " (see velsona-rec --list-devices)");
}

StartCheck CheckOutputFolder(const CCharString& folder) {
    // A refused folder leaves nothing behind: the levels made for it go again.
    std::vector<CCharString> created;
    if (!EnsureFolder(folder, &created))
        return Refused("cannot create the output folder " + folder.str() + ": " + std::strerror(errno));
    // Creating a file is the only test that also holds for root, read-only mounts and ACLs.
    std::string probe = NormalizeSeparators(folder).str();
    if (probe.back() != '/') probe += '/';
    probe += ".velsona-rec-XXXXXX";
    const int fd = mkstemp(probe.data());
    if (fd < 0) {
        const int error = errno;
        RemoveCreatedFolders(created);
        return Refused("cannot write into the output folder " + folder.str() + ": " + std::strerror(error));
    }
    close(fd);
    unlink(probe.c_str());
    return {};
}

StartCheck CheckBeforeStart(CCaptureBackend& backend, const RecordingSettings& settings) {
    StartCheck check = CheckFileNameTemplate(settings.fileNameTemplate);
    if (check.ok) check = CheckOutputFormat(settings.outputFormat);
    if (check.ok) check = CheckInputDevice(backend, settings);
    if (check.ok) check = CheckOutputFolder(settings.outputFolder);
    return check;
}

std::string ByteCountText(uint64_t bytes) {
    if (bytes >= 1000000000ULL) return CCharString::Formatted("%.1f GB", bytes / 1e9).str();
    if (bytes >= 1000000ULL) return CCharString::Formatted("%.1f MB", bytes / 1e6).str();
    return std::to_string(bytes) + " bytes";
}

SpaceEstimate EstimateSpace(const RecordingSettings& settings, const RecordingSchedule* schedule) {
    SpaceEstimate estimate;
    DiskSpace space;
    if (!QueryDiskSpace(settings.outputFolder, space)) {
        estimate.summary = "note: the free space of " + settings.outputFolder.str() + " cannot be measured";
        return estimate;
    }
    estimate.measured = true;
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
