// Finishing closed tracks on the finisher thread: tags, final names, the journal, the reserve.
#include "app/control/ClosedTracks.h"

#include <unistd.h>

#include <ctime>

#include <QtGlobal>

#include "app/files/AudioFacts.h"
#include "app/files/RecordedFiles.h"
#include "app/files/Retention.h"
#include "app/files/TrackJournal.h"
#include "audiofile/FormatTable.h"
#include "audiofile/LoudnessMeter.h"
#include "foundation/PathUtils.h"
#include "foundation/StepHook.h"
#include "platform/DiskSpace.h"

namespace {

// Why a track was closed, as its close is logged.
constexpr const char* kCloseReasons[] = {
    QT_TRANSLATE_NOOP("RecordingControl", "一定間隔で分割"), QT_TRANSLATE_NOOP("RecordingControl", "無音で分割"),
    QT_TRANSLATE_NOOP("RecordingControl", "分割の指示"), QT_TRANSLATE_NOOP("RecordingControl", "失敗"),
    QT_TRANSLATE_NOOP("RecordingControl", "録音停止")};

}  // namespace

CClosedTracks::CClosedTracks(CTrackFiles& files, RecordingEventPoster post) : m_files(files), m_post(std::move(post)) {}

void CClosedTracks::Begin(std::function<Result<void>(const CCharString& path)> syncFinishedFile) {
    m_sync = std::move(syncFinishedFile);
    m_toldMissingModule = false;
}

void CClosedTracks::Submit(std::shared_ptr<ClosedTrack> track) {
    m_finisher.Submit([this, track] {
        Finish(*track);
        if (track->settings) Keep(track->recordedFile, *track->settings, track->recording);
        // The closed track is done with the room; the open one may need it at its close.
        reserve.Hold();
    });
}

void CClosedTracks::KeepRecordings(std::shared_ptr<const RecordingSettings> settings, uint64_t recording) {
    if (settings->keepDays > 0 || settings->keepFreeMb > 0)
        m_finisher.Submit([this, settings, recording] { Keep({}, *settings, recording); });
}

void CClosedTracks::Keep(const CCharString& finished, const RecordingSettings& settings, uint64_t recording) {
    RetentionReport report;
    report.removed = [&](const CCharString& path) {
        m_files.DropRowsOf(path);
        m_post(RecordingEvent{kRecordingFileRemoved, recording, 0, path,
                              UserText("RecordingControl", "古い録音を削除しました: %1").Arg(path.str())});
    };
    report.problem = [&](const UserText& problem) { m_post(RecordingEvent{kRecordingKeepFailed, recording, 0, {}, problem}); };
    const auto freeBytes = [](const CCharString& folder) -> Result<uint64_t> {
        Result<DiskSpace> space = QueryDiskSpace(folder);
        if (!space) return std::move(space).error();
        return space->freeBytes;
    };
    ::KeepRecordings(RecordedFilesPath(), finished, OutputFolderInUse(settings.outputFolder),
                     {settings.keepDays, settings.keepFreeMb}, std::time(nullptr), freeBytes, report);
}

void CClosedTracks::DropUnrecorded(const CCharString& writtenPath, bool hasRow) {
    if (hasRow) m_files.DropItem();
    RemoveIfUnused(writtenPath);
    ProcessTrackJournal().Remove(writtenPath);
}

void CClosedTracks::Remove(ClosedTrack& track) {
    if (!track.hasRow) return;
    unlink(track.writtenPath.c_str());
    m_files.DropRow(track.row);
    ProcessTrackJournal().Remove(track.writtenPath);
    m_post(RecordingEvent{kRecordingTrackDropped, track.recording, track.trackNumber, track.writtenPath,
                          UserText("RecordingControl", "トラック %1 は音声がないため削除しました: %2")
                              .Arg(track.trackNumber)
                              .Arg(track.writtenPath.str())});
}

void CClosedTracks::Finish(ClosedTrack& track) {
    if (!track.received) {
        if (track.writer) {
            // Nothing to tag: the file goes.
            track.writer->SetTags(nullptr);
            static_cast<void>(track.writer->Close());
            track.writer.reset();
        }
        return Remove(track);
    }
    ReachedStep("finishing");
    Result<void> finished = track.streamEnd;
    if (track.writer) {
        // Each runs whatever the other gave: Close still closes the file.
        Result<void> ended = track.writer->FinishEnd();
        finished = FirstFailure(std::move(finished), FirstFailure(std::move(ended), track.writer->Close()));
        track.writer.reset();
    }
    if (!track.hasRow) return;
    // Measured from the closed file as players decode it, then written in place with the other
    // tags: a kill meanwhile leaves the file whole with the tags it had.
    std::optional<UserText> loudness;
    if (finished && track.settings->loudnessTags) loudness = TagLoudness(track);
    if (!finished) {
        // A full disk may have left the file less audio than it was given, or none.
        if (HoldsNoAudio(track.writtenPath)) return Remove(track);
        NameByKeptAudio(track);
    }
    const CCharString written = WrittenPathAtClose(track.plannedPath, track.finalPath, track.writtenPath);
    // Finished and tagged: a recovery from here on only gives it this name.
    ProcessTrackJournal().Advance(track.writtenPath, FinishStep::Naming, -1,
                                  ReplaceExtension(written, ExtensionOf(track.writtenPath).c_str()));
    ReachedStep("naming");
    CCharString refusedLink;
    const bool named = m_files.FinishItem(track.row, track.settings->outputFolder, written, &refusedLink);
    ReachedStep("named");
    // The finished file reaches the disk too, tags, name and all, before the journal forgets it.
    const Result<void> synced = m_sync(track.row.file);
    if (synced) {
        ProcessTrackJournal().Remove(track.writtenPath);
        track.recordedFile = track.row.file;
    } else {
        // The next start finds it where it is now and finishes it again.
        ProcessTrackJournal().Advance(track.writtenPath, FinishStep::Naming, -1, track.row.file);
    }
    if (!finished && finished.error().kind == FailureKind::kMissing) {
        // A module missing now is missing for every track of the run: said once, with its name.
        if (!m_toldMissingModule.exchange(true))
            m_post(RecordingEvent{kRecordingTrackUnfinished, track.recording, track.trackNumber, track.row.file,
                                  UserText("RecordingControl", "この録音のトラックにはタグを書き込めません。録音そのものは残っています: %1 (%2)")
                                      .Arg(track.row.file.str())
                                      .Arg(ReasonOf(finished.error()))});
    } else if (!finished) {
        PostUnfinished(track, UserText("RecordingControl", "トラックの終わり・ヘッダ・タグを書き込めませんでした。書けた分の録音は残っています"
                                                           "（空き容量を確認してください）: %1"));
    }
    if (!named) PostUnfinished(track, UserText("RecordingControl", "ファイル名を付けられなかったため、次の名前で保存しました: %1"));
    if (refusedLink.IsEmpty()) refusedLink = track.refusedLink;
    if (!refusedLink.IsEmpty())
        PostUnfinished(track, UserText("RecordingControl", "テンプレートのフォルダ %1 はシンボリックリンクのため使わず、出力先フォルダに保存しました: %2")
                                  .Arg(refusedLink.str()));
    if (!synced)
        PostUnfinished(track, UserText("RecordingControl", "ファイルをディスクに書き込めませんでした（%1）。次の起動時に回復します: %2")
                                  .Arg(ReasonOf(synced.error())));
    m_post(RecordingEvent{kRecordingTrackClosed, track.recording, track.trackNumber, track.row.file,
                          UserText("RecordingControl", "トラック %1 を閉じました（%2、長さ %3）: %4")
                              .Arg(track.trackNumber)
                              .Arg(UserText("RecordingControl", kCloseReasons[static_cast<int>(track.reason)]))
                              .Arg(LengthText(track.lengthMs).str())
                              .Arg(track.row.file.str())});
    UserText sound = UserText("RecordingControl", "トラック %1 の音: %2").Arg(track.trackNumber).Arg(SoundFiguresText(track.sound));
    if (loudness) sound = UserText("RecordingControl", "%1。%2").Arg(std::move(sound)).Arg(std::move(*loudness));
    m_post(RecordingEvent{kRecordingTrackSound, track.recording, track.trackNumber, track.row.file, std::move(sound)});
}

UserText CClosedTracks::TagLoudness(ClosedTrack& track) {
    const FormatRow& row = FormatRowOf(track.format);
    if (!row.tagsLoudness) return UserText("RecordingControl", "%1 にはラウドネスのタグを書きません").Arg(row.name);
    const std::unique_ptr<CAudioReader> reader = row.newReader();
    Result<TrackLoudness> measured = MeasureLoudness(*reader, track.writtenPath.c_str());
    if (!measured) return UserText("RecordingControl", "ラウドネスのタグはありません: %1").Arg(ReasonOf(measured.error()));
    track.tags.loudness = *measured;
    const std::unique_ptr<CTagFile> editor = row.newTagEditor();
    if (Result<void> tagged = RewriteTags(*editor, track.writtenPath.c_str(), track.tags); !tagged)
        return UserText("RecordingControl", "ラウドネスのタグを書き込めませんでした: %1").Arg(ReasonOf(tagged.error()));
    return UserText("RecordingControl", "ラウドネス %1、トラックゲイン %2、ピーク %3")
        .Arg(LoudnessText(*measured))
        .Arg(ReplayGainText(*measured))
        .Arg(ReplayPeakText(*measured));
}

void CClosedTracks::NameByKeptAudio(ClosedTrack& track) {
    const std::optional<RecordingItem> kept = m_files.ReadItemInfo(track.writtenPath);
    // A header that claims no length tells nothing.
    if (!kept || kept->lengthMs <= 0 || kept->lengthMs >= track.values.trackLengthMs) return;
    track.values.trackLengthMs = kept->lengthMs;
    track.values.endOffsetMs = track.values.startOffsetMs + kept->lengthMs;
    CCharString folder = track.settings->outputFolder;
    track.finalPath =
        BuildTrackPath(true, folder, track.settings->fileNameTemplate, track.format, track.values, track.clocks);
}

void CClosedTracks::PostUnfinished(const ClosedTrack& track, const UserText& message) {
    m_post(RecordingEvent{kRecordingTrackUnfinished, track.recording, track.trackNumber, track.row.file,
                          UserText(message).Arg(track.row.file.str())});
}
