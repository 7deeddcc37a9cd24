// The start-up both front ends share: the log, the recovery, the pre-start checks and the
// free-space estimate.
#include "app/control/StartChecks.h"

#include <cerrno>
#include <cstring>
#include <unistd.h>
#include <vector>

#include "app/control/ActivityLog.h"
#include "app/files/AudioFacts.h"
#include "app/files/FileNameTemplate.h"
#include "app/files/TrackJournal.h"
#include "app/files/TrackRecovery.h"
#include "app/settings/OutputFormats.h"
#include "foundation/PathUtils.h"
#include "platform/CaptureBackend.h"
#include "platform/DiskSpace.h"
#include "platform/WaveFormats.h"

namespace {

constexpr double kLowSpaceHours = 1.0;

// A template that is empty, or only a format's extension after its last separator, would write
// hidden files such as ".wav".
Result<void> CheckFileNameTemplate(const CCharString& fileNameTemplate) {
    CCharString name = FileNameOf(WithoutFormatExtension(fileNameTemplate));
    name.Trim();
    if (!name.IsEmpty()) return {};
    return KindFailure(FailureKind::kBadValue,
                       UserText("StartChecks", "保存ファイル名が空か、拡張子だけです。ファイル名を入力してください: 「%1」")
                           .Arg(fileNameTemplate.str()));
}

Result<void> CheckOutputFormat(OutputFormat outputFormat) { return OutputFormatAvailable(outputFormat); }

Result<void> CheckInputDevice(CCaptureBackend& backend, const RecordingSettings& settings) {
    for (const CaptureDeviceInfo& device : backend.ListDevices()) {
        if (device.id != settings.inputDevice) continue;
        if (device.formats & WaveFormatFlagFor(settings.sampleRate, settings.channels, settings.bitsPerSample))
            return {};
        return KindFailure(FailureKind::kBadValue,
                           UserText("StartChecks", "入力デバイス %1 (%2) では %3 Hz、%4 チャンネル、%5 ビットで録音できません")
                               .Arg(device.id)
                               .Arg(device.name)
                               .Arg(settings.sampleRate)
                               .Arg(settings.channels)
                               .Arg(settings.bitsPerSample));
    }
    return KindFailure(FailureKind::kMissing,
                       UserText("StartChecks", "%2 に入力デバイス %1 はありません (velsona-rec --list-devices で確認できます)")
                           .Arg(settings.inputDevice)
                           .Arg(backend.Name()));
}

Result<void> CheckOutputFolder(const CCharString& folder) {
    // A refused folder leaves nothing behind: the levels made for it go again.
    std::vector<CCharString> created;
    if (!EnsureFolder(folder, &created)) {
        const int error = errno;
        return SystemFailure(error, UserText("StartChecks", "出力先フォルダ %1 を作成できません: %2").Arg(folder.str()).ArgError(error));
    }
    // Creating a file is the only test that also holds for root, read-only mounts and ACLs.
    std::string probe = NormalizeSeparators(folder).str();
    if (probe.back() != '/') probe += '/';
    probe += ".velsona-rec-XXXXXX";
    const int fd = mkstemp(probe.data());
    if (fd < 0) {
        const int error = errno;
        RemoveCreatedFolders(created);
        return SystemFailure(error, UserText("StartChecks", "出力先フォルダ %1 に書き込めません: %2").Arg(folder.str()).ArgError(error));
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

}  // namespace

std::unique_ptr<CActivityLog> OpenActivityLog(const char* program, std::function<void(const UserText&)> tell) {
    auto log = std::make_unique<CActivityLog>(program);
    log->onWriteFailure = std::move(tell);
    return log;
}

std::vector<RecoveredTrack> RecoverLeftTracks(CActivityLog& log, const CCharString& outputFolder) {
    std::vector<RecoveredTrack> tracks = RecoverTracks(TrackJournalFolder(), ReadAudioFileFacts, {outputFolder});
    for (const RecoveredTrack& track : tracks) log.Record(track);
    return tracks;
}

UserText ByteCountText(uint64_t bytes) {
    if (bytes >= 1000000000ULL) return UserText::Verbatim(CCharString::Formatted("%.1f GB", bytes / 1e9).str());
    if (bytes >= 1000000ULL) return UserText::Verbatim(CCharString::Formatted("%.1f MB", bytes / 1e6).str());
    return UserText("StartChecks", "%1 バイト").Arg(std::to_string(bytes));
}

namespace {

Result<SpaceEstimate> EstimateSpace(const RecordingSettings& settings, const RecordingSchedule* schedule) {
    const Result<DiskSpace> measured = QueryDiskSpace(settings.outputFolder);
    if (!measured)
        return SystemFailure(measured.error().error,
                             UserText("StartChecks", "注意: %1 の空き容量を測れません").Arg(settings.outputFolder.str()));
    const DiskSpace& space = *measured;
    SpaceEstimate estimate;
    estimate.freeBytes = space.freeBytes;
    estimate.bytesPerSecond = OutputBytesPerSecond(settings);
    estimate.hours = HoursAtByteRate(space.freeBytes, estimate.bytesPerSecond);
    if (estimate.hours < 0) {
        // An unknown rate gives no hours worth printing.
        estimate.summary = UserText("StartChecks", "空き容量: %1").Arg(ByteCountText(space.freeBytes));
        return estimate;
    }
    estimate.summary = UserText("StartChecks", "空き容量: %1、%3 kbit/s で約 %2 時間分")
                           .Arg(ByteCountText(space.freeBytes))
                           .Arg(CCharString::Formatted("%.1f", estimate.hours).str())
                           .Arg(CCharString::Formatted("%.0f", estimate.bytesPerSecond * 8 / 1000).str());
    const bool timed = schedule && schedule->StopsAfterDuration();
    const double wantedHours = timed ? schedule->durationSeconds / 3600.0 : kLowSpaceHours;
    if (estimate.hours < wantedHours)
        estimate.warning = UserText("StartChecks", "警告: 出力先フォルダには、この録音の %1 時間分の空きしかありません")
                               .Arg(CCharString::Formatted("%.2f", estimate.hours).str());
    return estimate;
}

}  // namespace

StartReadiness CheckStart(CCaptureBackend& backend, const RecordingSettings& settings, const RecordingSchedule* schedule) {
    StartReadiness readiness;
    readiness.ready = CheckBeforeStart(backend, settings);
    if (!readiness.ready) return readiness;
    if (Result<SpaceEstimate> space = EstimateSpace(settings, schedule)) readiness.space = *std::move(space);
    else readiness.spaceNote = space.error().message;
    return readiness;
}
