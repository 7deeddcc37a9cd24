// Removing the oldest recordings to keep the days and the room asked for.
#include "app/files/Retention.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

#include "app/files/RecordedFiles.h"
#include "foundation/PathUtils.h"

namespace {

std::optional<CCharString> RealPath(const CCharString& path) {
    char* real = realpath(path.c_str(), nullptr);
    if (!real) return std::nullopt;
    CCharString out(real);
    std::free(real);
    return out;
}

bool IsInside(const CCharString& folder, const CCharString& root) {
    const std::string f = folder.str(), r = root.str();
    return f == r || (f.size() > r.size() && f.compare(0, r.size(), r) == 0 && (r == "/" || f[r.size()] == '/'));
}

// The folders between a removed file and the output folder, innermost first, while empty.
void RemoveEmptyFolders(CCharString folder, const CCharString& root) {
    while (folder != root && IsInside(folder, root) && rmdir(folder.c_str()) == 0) folder = FolderOf(folder);
}

// "1.5 GB", "500 MB": the room as the setting was given.
std::string RoomText(int megabytes) {
    char text[32];
    if (megabytes >= 1024) std::snprintf(text, sizeof text, "%g GB", megabytes / 1024.0);
    else std::snprintf(text, sizeof text, "%d MB", megabytes);
    return text;
}

enum class Outcome { Removed, Changed, Kept };

// Removes the recorded file when it is still as recorded, within the canonical `root`.
Outcome RemoveIfUnchanged(const RecordedFile& file, const CCharString& root) {
    const std::optional<CCharString> folder = RealPath(FolderOf(file.path));
    if (!folder || !IsInside(*folder, root)) return folder ? Outcome::Kept : Outcome::Changed;
    const int dirFd = open(folder->c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd < 0) return Outcome::Kept;
    const CCharString name = FileNameOf(file.path);
    const std::optional<RecordedFile> now = DescribeFileAt(dirFd, name.c_str());
    Outcome outcome = Outcome::Changed;
    if (now && now->SameFile(file)) outcome = unlinkat(dirFd, name.c_str(), 0) == 0 ? Outcome::Removed : Outcome::Kept;
    close(dirFd);
    if (outcome == Outcome::Removed) RemoveEmptyFolders(*folder, root);
    return outcome;
}

}  // namespace

void KeepRecordings(const CCharString& recordPath, const CCharString& finished, const CCharString& outputFolder,
                    const RetentionRules& rules, std::time_t now,
                    const std::function<Result<uint64_t>(const CCharString& folder)>& freeBytes,
                    const RetentionReport& report) {
    const CRecordedFilesLock lock(recordPath);
    Result<std::vector<RecordedFile>> loaded = LoadRecordedFiles(recordPath);
    std::vector<RecordedFile> files;
    bool inDoubt = !loaded;
    if (loaded) {
        files = std::move(*loaded);
    } else {
        // Kept for whoever wants to look; nothing it names is removed on its word.
        const bool setAside = loaded.error().kind == FailureKind::kBadData &&
                              rename(recordPath.c_str(), (recordPath + ".corrupt").c_str()) == 0;
        const CCharString aside = recordPath + ".corrupt";
        report.problem(setAside ? UserText("Retention", "%1。古い録音は削除しません (記録は %2 に移し、新しい記録を始めました)")
                                      .Arg(loaded.error().message)
                                      .Arg(aside.str())
                                : UserText("Retention", "%1。古い録音は削除しません").Arg(loaded.error().message));
        if (!setAside) return;
    }
    // Forget files that are gone, and the newest entry of a path recorded again.
    std::erase_if(files, [&](const RecordedFile& f) { return f.path == finished || access(f.path.c_str(), F_OK) != 0; });
    if (!finished.IsEmpty())
        if (std::optional<RecordedFile> described = DescribeFile(finished)) files.push_back(*described);

    const std::optional<CCharString> root = RealPath(outputFolder);
    if (rules.Active() && !inDoubt && root) {
        std::vector<size_t> order;
        for (size_t i = 0; i < files.size(); ++i)
            if (files[i].path != finished) order.push_back(i);
        std::stable_sort(order.begin(), order.end(),
                         [&](size_t a, size_t b) { return files[a].modifiedNs < files[b].modifiedNs; });
        const int64_t oldestKeptNs = (static_cast<int64_t>(now) - int64_t{rules.keepDays} * 86400) * 1000000000;
        const uint64_t wantedFree = static_cast<uint64_t>(rules.keepFreeMb) << 20;
        auto tooLittleRoom = [&] {
            if (rules.keepFreeMb <= 0) return false;
            const Result<uint64_t> room = freeBytes(*root);
            return room && *room < wantedFree;
        };
        std::vector<bool> gone(files.size());
        for (const size_t i : order) {
            const bool tooOld = rules.keepDays > 0 && files[i].modifiedNs < oldestKeptNs;
            if (!tooOld && !tooLittleRoom()) break;
            switch (RemoveIfUnchanged(files[i], *root)) {
            case Outcome::Removed:
                gone[i] = true;
                report.removed(files[i].path);
                break;
            case Outcome::Changed: gone[i] = true; break;  // the user's file now, not ours to remove
            case Outcome::Kept: break;
            }
        }
        if (tooLittleRoom())
            report.problem(UserText("Retention", "古い録音を削除しても %1 に %2 の空きを作れませんでした")
                               .Arg(outputFolder.str())
                               .Arg(RoomText(rules.keepFreeMb)));
        std::vector<RecordedFile> kept;
        for (size_t i = 0; i < files.size(); ++i)
            if (!gone[i]) kept.push_back(std::move(files[i]));
        files = std::move(kept);
    }
    if (const Result<void> saved = SaveRecordedFiles(recordPath, files); !saved) report.problem(saved.error().message);
}
