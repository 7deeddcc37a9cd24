// CClosedTracks: a recording's tracks from their close to the disk. The audio thread hands each
// closed track over; the finisher thread ends and tags it, gives it its final name, syncs it,
// drops its journal entry and tells the owner; the disk reserve gives each close its room.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>

#include "app/control/RecordingEvents.h"
#include "app/files/FileMove.h"
#include "app/files/FileNameTemplate.h"
#include "app/files/TrackFiles.h"
#include "app/files/TrackFinisher.h"
#include "app/files/TrackReserve.h"
#include "app/files/TrackSound.h"
#include "app/settings/RecordingSettings.h"
#include "audiofile/AudioWriter.h"
#include "foundation/CharString.h"
#include "foundation/Result.h"
#include "tags/TagFieldSet.h"

// Why a track closed, for the log.
enum class CloseReason { Interval, Silence, Command, Failure, Stop };

// A closed track on its way to the finisher: everything its finishing needs, taken at the close,
// since the next track reuses the session's fields at once.
struct ClosedTrack {
    std::unique_ptr<CAudioWriter> writer;  // its stream ended
    TagFieldSet tags;                      // the writer's tags point here
    Result<void> streamEnd;                // the writer's EndStream
    bool received = false;                 // it took any audio at all
    bool hasRow = false;
    TrackRow row;                          // its file: where the finisher has put it
    CCharString writtenPath;               // where it was written
    CCharString plannedPath;
    CCharString finalPath;
    // What the final name was made from, to name it again by the audio a full disk left it.
    std::shared_ptr<const RecordingSettings> settings;
    OutputFormat format = OutputFormat::Wav;
    TemplateValues values;
    TrackClocks clocks;
    uint64_t recording = 0;
    int trackNumber = 0;
    CloseReason reason = CloseReason::Stop;
    int64_t lengthMs = 0;
    TrackSound sound;
    CCharString refusedLink;  // a template folder that was a link when the track opened
    CCharString recordedFile;  // the finished file, once it is whole on the disk
};

class CClosedTracks {
public:
    CClosedTracks(CTrackFiles& files, RecordingEventPoster post);
    CClosedTracks(const CClosedTracks&) = delete;
    CClosedTracks& operator=(const CClosedTracks&) = delete;

    // Owner's thread, while nothing is queued: a recording begins, its finished files forced to
    // the disk by `syncFinishedFile`; a missing module is told again, once.
    void Begin(std::function<Result<void>(const CCharString& path)> syncFinishedFile);
    // Audio thread (the owner's at a stop): queues the track behind those closed before it.
    void Submit(std::shared_ptr<ClosedTrack> track);
    // A track that opened but never recorded is no track: its row, its file and its journal
    // entry go. Any thread that opens tracks.
    void DropUnrecorded(const CCharString& writtenPath, bool hasRow);
    // Owner's thread, at a start: the oldest recordings go, as the settings keep them, behind
    // whatever is queued.
    void KeepRecordings(std::shared_ptr<const RecordingSettings> settings, uint64_t recording);
    // Owner's thread: returns once every track submitted before has been finished.
    void Wait() { m_finisher.Wait(); }
    // The thread that finishes them; tests slow it down through its seam.
    CTrackFinisher& Finisher() { return m_finisher; }

    CTrackReserve reserve;

private:
    // On the finisher thread: the writer's tags and close, the final name, the row, the events.
    void Finish(ClosedTrack& track);
    // A close that could not write everything leaves less audio than was recorded: the final
    // name is made from the length the file holds.
    void NameByKeptAudio(ClosedTrack& track);
    // Tells of a closed track that kept its audio but not all of its ending; `message` says
    // where the file now is.
    void PostUnfinished(const ClosedTrack& track, const UserText& message);
    // On the finisher thread: records the finished file and removes the oldest recordings the
    // settings no longer keep, their rows too.
    void Keep(const CCharString& finished, const RecordingSettings& settings, uint64_t recording);
    // On the finisher thread, for the loudness tags: measures the closed file and writes its tags
    // again with the gain; says what it measured, or why the file has no gain tags.
    UserText TagLoudness(ClosedTrack& track);
    // A track whose file holds no audio: the file, its row and its journal entry go.
    void Remove(ClosedTrack& track);

    CTrackFiles& m_files;
    RecordingEventPoster m_post;
    std::function<Result<void>(const CCharString& path)> m_sync = SyncToDisk;
    // The finisher has told of a module this recording's tracks cannot be tagged without.
    std::atomic<bool> m_toldMissingModule{false};
    // Last, so it ends (running what is queued) while everything its jobs use still exists.
    CTrackFinisher m_finisher;
};
