// CVorbisDecoder: the functions of the Vorbis decoding module, resolved all or none.
#pragma once

#define OV_EXCLUDE_STATIC_CALLBACKS
#include <vorbis/vorbisfile.h>

#include "abi/vcedit.h"
#include "foundation/Result.h"
#include "platform/RuntimeModule.h"

class CVorbisDecoder {
public:
    // Loads the module and resolves every function; when one is missing the module is
    // unloaded again and every pointer stays null.
    bool Load(const char* moduleName);
    bool IsLoaded() const { return m_module.IsLoaded(); }
    // Why Load failed, for the user.
    const UserText& Error() const { return m_error; }

    int (*ov_clear)(OggVorbis_File*) = nullptr;
    int (*ov_open_callbacks)(void*, OggVorbis_File*, const char*, long, ov_callbacks) = nullptr;
    int (*ov_test_callbacks)(void*, OggVorbis_File*, const char*, long, ov_callbacks) = nullptr;
    long (*ov_bitrate)(OggVorbis_File*, int) = nullptr;
    long (*ov_bitrate_instant)(OggVorbis_File*) = nullptr;
    long (*ov_streams)(OggVorbis_File*) = nullptr;
    long (*ov_seekable)(OggVorbis_File*) = nullptr;
    long (*ov_serialnumber)(OggVorbis_File*, int) = nullptr;
    ogg_int64_t (*ov_raw_total)(OggVorbis_File*, int) = nullptr;
    ogg_int64_t (*ov_pcm_total)(OggVorbis_File*, int) = nullptr;
    double (*ov_time_total)(OggVorbis_File*, int) = nullptr;
    int (*ov_raw_seek)(OggVorbis_File*, ogg_int64_t) = nullptr;
    int (*ov_pcm_seek)(OggVorbis_File*, ogg_int64_t) = nullptr;
    int (*ov_pcm_seek_page)(OggVorbis_File*, ogg_int64_t) = nullptr;
    int (*ov_time_seek)(OggVorbis_File*, double) = nullptr;
    int (*ov_time_seek_page)(OggVorbis_File*, double) = nullptr;
    ogg_int64_t (*ov_raw_tell)(OggVorbis_File*) = nullptr;
    ogg_int64_t (*ov_pcm_tell)(OggVorbis_File*) = nullptr;
    double (*ov_time_tell)(OggVorbis_File*) = nullptr;
    vorbis_info* (*ov_info)(OggVorbis_File*, int) = nullptr;
    vorbis_comment* (*ov_comment)(OggVorbis_File*, int) = nullptr;
    long (*ov_read)(OggVorbis_File*, char*, int, int, int, int, int*) = nullptr;
    void (*vorbis_comment_add_tag)(vorbis_comment*, const char*, const char*) = nullptr;
    void (*vorbis_comment_init)(vorbis_comment*) = nullptr;
    void (*vorbis_comment_clear)(vorbis_comment*) = nullptr;
    vcedit_state* (*vcedit_new_state)() = nullptr;
    void (*vcedit_clear)(vcedit_state*) = nullptr;
    vorbis_comment* (*vcedit_comments)(vcedit_state*) = nullptr;
    int (*vcedit_open_callbacks)(vcedit_state*, void*, vcedit_read_func, vcedit_write_func) = nullptr;
    int (*vcedit_write)(vcedit_state*, void*) = nullptr;
    const char* (*vcedit_error)(vcedit_state*) = nullptr;

private:
    // Calls f(slot, exported name) for every function above.
    template <typename F>
    void ForEachFunction(F f);

    CRuntimeModule m_module;
    UserText m_error;
};

// The process's "vorbisdec" module, loaded on the first call and kept; null when it is
// missing or incomplete (a normal state the caller reports).
const CVorbisDecoder* LoadVorbisDecoder();

// What a reader or tag editor says when LoadVorbisDecoder gave none: why, and what to install.
Failure VorbisModuleMissing();
