// The open-tracks journal: one small text file per recording process, replaced atomically.
#include "app/files/TrackJournal.h"

#include <algorithm>
#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <set>
#include <sstream>
#include <string>
#include <unistd.h>

#include "audiofile/FormatTable.h"
#include "foundation/PathUtils.h"

namespace {

constexpr const char* kHeader = "velsona-open-tracks 1";
constexpr const char* kPrefix = "open-tracks.";
constexpr const char* kEntryStart = "[track]";

// Values are one line each: a tag template may hold line breaks.
std::string Escape(const CCharString& text) {
    std::string out;
    for (const char c : text.str()) {
        if (c == '\\') out += "\\\\";
        else if (c == '\n') out += "\\n";
        else if (c == '\r') out += "\\r";
        else out += c;
    }
    return out;
}

CCharString Unescape(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            out += text[i];
            continue;
        }
        const char next = text[++i];
        out += next == 'n' ? '\n' : next == 'r' ? '\r' : next;
    }
    return CCharString(out.c_str());
}

std::string FileNameFor(const ProcessIdentity& owner) { return kPrefix + OwnerTag(owner); }

std::string Serialize(const std::vector<JournalEntry>& entries) {
    std::ostringstream out;
    out << kHeader << '\n';
    for (const JournalEntry& e : entries) {
        const LocalDateTime& t = e.startClock;
        out << kEntryStart << '\n'
            << "path=" << Escape(e.path) << '\n'
            << "format=" << (e.outputFormat ? static_cast<int>(*e.outputFormat) : -1) << '\n'
            << "folder=" << Escape(e.outputFolder) << '\n'
            << "template=" << Escape(e.fileNameTemplate) << '\n'
            << "title=" << Escape(e.tagTitle) << '\n'
            << "artist=" << Escape(e.tagArtist) << '\n'
            << "album=" << Escape(e.tagAlbum) << '\n'
            << "comment=" << Escape(e.tagComment) << '\n'
            << "year=" << Escape(e.year) << '\n'
            << "genre=" << Escape(e.genre) << '\n'
            << "genre-number=" << e.genreNumber << '\n'
            << "recording=" << e.recordingNumber << '\n'
            << "track=" << e.trackNumber << '\n'
            << "start-offset-ms=" << e.startOffsetMs << '\n'
            << "start-clock=" << t.year << ' ' << t.month << ' ' << t.day << ' ' << t.hour << ' ' << t.minute << ' '
            << t.second << ' ' << t.millisecond << ' ' << t.utcOffset << ' ' << (t.repeated ? 1 : 0) << '\n';
        if (e.step != FinishStep::Recording)
            out << "step=" << (e.step == FinishStep::Ended ? "ended" : "naming") << '\n'
                << "samples=" << e.sampleFrames << '\n'
                << "final=" << Escape(e.finalPath) << '\n';
    }
    return out.str();
}

void SetField(JournalEntry& e, const std::string& key, const std::string& value) {
    const auto number = [&] { return std::strtoll(value.c_str(), nullptr, 10); };
    if (key == "path") e.path = Unescape(value);
    else if (key == "format") e.outputFormat = OutputFormatOfCode(static_cast<int>(number()));
    else if (key == "folder") e.outputFolder = Unescape(value);
    else if (key == "template") e.fileNameTemplate = Unescape(value);
    else if (key == "title") e.tagTitle = Unescape(value);
    else if (key == "artist") e.tagArtist = Unescape(value);
    else if (key == "album") e.tagAlbum = Unescape(value);
    else if (key == "comment") e.tagComment = Unescape(value);
    else if (key == "year") e.year = Unescape(value);
    else if (key == "genre") e.genre = Unescape(value);
    else if (key == "genre-number") e.genreNumber = static_cast<int>(number());
    else if (key == "recording") e.recordingNumber = static_cast<int>(number());
    else if (key == "track") e.trackNumber = static_cast<int>(number());
    else if (key == "start-offset-ms") e.startOffsetMs = number();
    else if (key == "step") e.step = value == "naming" ? FinishStep::Naming : value == "ended" ? FinishStep::Ended
                                                                                              : FinishStep::Recording;
    else if (key == "samples") e.sampleFrames = number();
    else if (key == "final") e.finalPath = Unescape(value);
    else if (key == "start-clock") {
        LocalDateTime& t = e.startClock;
        // A journal written before the offset was kept has seven numbers: the time is not marked.
        int repeated = 0;
        std::sscanf(value.c_str(), "%d %d %d %d %d %d %d %d %d", &t.year, &t.month, &t.day, &t.hour, &t.minute, &t.second,
                    &t.millisecond, &t.utcOffset, &repeated);
        t.repeated = repeated != 0;
    }
}

std::vector<JournalEntry> Parse(const std::string& text) {
    std::vector<JournalEntry> entries;
    std::istringstream lines(text);
    std::string line;
    if (!std::getline(lines, line) || line != kHeader) return entries;
    while (std::getline(lines, line)) {
        if (line == kEntryStart) {
            entries.emplace_back();
            continue;
        }
        const size_t equals = line.find('=');
        if (entries.empty() || equals == std::string::npos) continue;
        SetField(entries.back(), line.substr(0, equals), line.substr(equals + 1));
    }
    // An entry without a path names nothing to finish.
    std::erase_if(entries, [](const JournalEntry& e) { return e.path.IsEmpty(); });
    return entries;
}

bool WriteAll(int fd, const std::string& data) {
    size_t done = 0;
    while (done < data.size()) {
        const ssize_t n = write(fd, data.data() + done, data.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

std::string ReadAll(const std::string& path) {
    const int fd = open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) return {};
    std::string text;
    char buffer[4096];
    for (ssize_t n; (n = read(fd, buffer, sizeof buffer)) > 0;) text.append(buffer, static_cast<size_t>(n));
    close(fd);
    return text;
}


bool StoreEntries(const CCharString& folder, const ProcessIdentity& owner, const std::vector<JournalEntry>& entries) {
    const std::string target = folder.str() + "/" + FileNameFor(owner);
    if (entries.empty()) return unlink(target.c_str()) == 0 || errno == ENOENT;
    if (!EnsureFolder(folder)) return false;
    // Written beside the journal and renamed over it, so a crash leaves the old or the new
    // journal, never half of one. Created exclusively and never through a link: the state
    // folder is the user's, but a planted link must not make us write elsewhere.
    const std::string temporary = folder.str() + "/." + FileNameFor(owner) + ".tmp";
    unlink(temporary.c_str());
    const int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) return false;
    // No fdatasync: a track opens on the audio thread, where a sync can wait for all of the
    // recording's dirty data. A kill leaves the page cache whole; the disk gets the journal with
    // the next write-back.
    const bool written = WriteAll(fd, Serialize(entries));
    close(fd);
    if (!written || rename(temporary.c_str(), target.c_str()) != 0) {
        unlink(temporary.c_str());
        return false;
    }
    return true;
}

}  // namespace

CCharString TrackJournalFolder() {
    if (const char* state = std::getenv("XDG_STATE_HOME"); state && *state == '/')
        return CCharString(state) + "/velsona";
    const char* home = std::getenv("HOME");
    return CCharString(home && *home ? home : "/tmp") + "/.local/state/velsona";
}

CTrackJournal::CTrackJournal(CCharString folder, ProcessIdentity owner)
    : m_folder(std::move(folder)), m_owner(owner) {}

CCharString CTrackJournal::Folder() const { return m_folder.IsEmpty() ? TrackJournalFolder() : m_folder; }

bool CTrackJournal::Add(const JournalEntry& entry) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_entries.push_back(entry);
    return Store();
}

bool CTrackJournal::Remove(const CCharString& path) {
    std::lock_guard<std::mutex> lock(m_mutex);
    std::erase_if(m_entries, [&](const JournalEntry& e) { return e.path == path; });
    return Store();
}

bool CTrackJournal::Advance(const CCharString& path, FinishStep step, int64_t sampleFrames,
                            const CCharString& finalPath) {
    std::lock_guard<std::mutex> lock(m_mutex);
    const auto entry = std::find_if(m_entries.begin(), m_entries.end(), [&](const JournalEntry& e) { return e.path == path; });
    if (entry == m_entries.end()) return false;
    entry->step = step;
    if (sampleFrames >= 0) entry->sampleFrames = sampleFrames;
    if (!finalPath.IsEmpty()) entry->finalPath = finalPath;
    return Store();
}

bool CTrackJournal::Store() { return StoreEntries(Folder(), m_owner, m_entries); }

std::vector<JournalFile> CTrackJournal::LeftBehind(const CCharString& folder) {
    std::vector<JournalFile> journals;
    std::set<std::string> live;
    DIR* dir = opendir(folder.c_str());
    if (!dir) return journals;
    const std::string prefix = kPrefix;
    while (const dirent* item = readdir(dir)) {
        const std::string name = item->d_name;
        if (name.compare(0, prefix.size(), prefix) != 0) continue;
        ProcessIdentity owner;
        const size_t tag = ParseOwnerTag(name.c_str() + prefix.size(), owner);
        if (tag == 0 || prefix.size() + tag != name.size()) continue;
        const std::string path = folder.str() + "/" + name;
        if (!IsRunning(owner)) {
            journals.push_back({CCharString(path.c_str()), owner, Parse(ReadAll(path))});
            continue;
        }
        for (const JournalEntry& entry : Parse(ReadAll(path))) live.insert(entry.path.str());
    }
    closedir(dir);
    // A name is journaled before its file is created: a recorder that lost the name to another
    // and died before journaling the next one names a file that is the running one's.
    for (JournalFile& journal : journals)
        std::erase_if(journal.entries, [&](const JournalEntry& e) { return live.count(e.path.str()) != 0; });
    return journals;
}

void CTrackJournal::Discard(const JournalFile& journal) {
    unlink(journal.path.c_str());
    unlink((FolderOf(journal.path).str() + "." + FileNameFor(journal.owner) + ".tmp").c_str());
}

bool CTrackJournal::Rewrite(const JournalFile& journal) {
    return StoreEntries(FolderOf(journal.path), journal.owner, journal.entries);
}

CTrackJournal& ProcessTrackJournal() {
    static CTrackJournal journal;
    return journal;
}
