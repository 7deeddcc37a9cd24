// The readers, tag rewrites and settings loading as the fuzz targets and their regression test run them.
#include "fuzz/Replay.h"

#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include "app/settings/SettingsStore.h"
#include "audiofile/FormatTable.h"

namespace {

std::string FileBytes(const char* path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Some blocks, a seek, one block more: every decoder's state changes without decoding long
// inputs to their end.
bool Decode(CAudioReader& reader, int64_t seekMs) {
    reader.GetDuration();
    if (!reader.Begin()) return true;
    bool sound = true;
    for (int i = 0; i < 16 && reader.ReadBlock(); ++i) sound &= reader.Block() && reader.BlockBytes() > 0;
    if (reader.Seek(seekMs) && reader.ReadBlock()) sound &= reader.Block() && reader.BlockBytes() > 0;
    static_cast<void>(reader.End());
    return sound;
}

// A rewrite that reports failure must leave the file as it was.
bool RewriteTags(CTagFile& editor, const char* path) {
    const std::string before = FileBytes(path);
    if (!editor.Open(path)) return true;
    TagFieldSet& tags = editor.Tags();
    tags.title = "録音 2026-12-08";
    tags.artist = "Velsona";
    tags.album = "fuzz";
    tags.comment = "コメント";
    tags.year = "2026";
    tags.trackNumber = 7;
    tags.genreNumber = 12;
    // WMA attributes reach the file when the editor closes, so both results count.
    const bool written = editor.Write().has_value();
    const bool rewritten = editor.Close() && written;
    return rewritten || FileBytes(path) == before;
}

}  // namespace

bool ReplayReader(const char* path, int64_t seekMs) {
    std::unique_ptr<CAudioReader> reader = NewReaderByExtension(path);
    if (!reader) return true;
    const bool decoded = !reader->Open(path) || Decode(*reader, seekMs);
    const FormatRow& row = FormatRowOf(reader->Kind());
    const std::unique_ptr<CTagFile> editor = row.newTagEditor();
    reader.reset();

    const bool kept = RewriteTags(*editor, path);
    // Recovery repairs what it finds under a dead recorder's name, which may be anything.
    if (row.repairCut) static_cast<void>(row.repairCut({path, true, 0}));
    return decoded && kept;
}

void ReplaySettings(const char* path) {
    CSettingsStore store{CCharString(path)};
    ProfileState state;
    store.LoadProfile(kDefaultPresetName, state);
    for (const CCharString& name : state.presets.entries) store.LoadSettings(name);
}
