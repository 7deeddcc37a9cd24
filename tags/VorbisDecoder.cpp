// Loading the Vorbis decoding module, once per process for the program.
#include "tags/VorbisDecoder.h"

#include <type_traits>

template <typename F>
void CVorbisDecoder::ForEachFunction(F f) {
#define VELSONA_FUNCTION(name) f(name, #name)
    VELSONA_FUNCTION(ov_clear);
    VELSONA_FUNCTION(ov_open_callbacks);
    VELSONA_FUNCTION(ov_test_callbacks);
    VELSONA_FUNCTION(ov_bitrate);
    VELSONA_FUNCTION(ov_bitrate_instant);
    VELSONA_FUNCTION(ov_streams);
    VELSONA_FUNCTION(ov_seekable);
    VELSONA_FUNCTION(ov_serialnumber);
    VELSONA_FUNCTION(ov_raw_total);
    VELSONA_FUNCTION(ov_pcm_total);
    VELSONA_FUNCTION(ov_time_total);
    VELSONA_FUNCTION(ov_raw_seek);
    VELSONA_FUNCTION(ov_pcm_seek);
    VELSONA_FUNCTION(ov_pcm_seek_page);
    VELSONA_FUNCTION(ov_time_seek);
    VELSONA_FUNCTION(ov_time_seek_page);
    VELSONA_FUNCTION(ov_raw_tell);
    VELSONA_FUNCTION(ov_pcm_tell);
    VELSONA_FUNCTION(ov_time_tell);
    VELSONA_FUNCTION(ov_info);
    VELSONA_FUNCTION(ov_comment);
    VELSONA_FUNCTION(ov_read);
    VELSONA_FUNCTION(vorbis_comment_add_tag);
    VELSONA_FUNCTION(vorbis_comment_init);
    VELSONA_FUNCTION(vorbis_comment_clear);
    VELSONA_FUNCTION(vcedit_new_state);
    VELSONA_FUNCTION(vcedit_clear);
    VELSONA_FUNCTION(vcedit_comments);
    VELSONA_FUNCTION(vcedit_open_callbacks);
    VELSONA_FUNCTION(vcedit_write);
    VELSONA_FUNCTION(vcedit_error);
#undef VELSONA_FUNCTION
}

bool CVorbisDecoder::Load(const char* moduleName) {
    auto forget = [](auto& slot, const char*) { slot = nullptr; };
    ForEachFunction(forget);
    if (const Result<void> loaded = m_module.Load(moduleName); !loaded) {
        m_error = loaded.error().message;
        return false;
    }
    const char* missing = nullptr;
    ForEachFunction([&](auto& slot, const char* name) {
        slot = reinterpret_cast<std::remove_reference_t<decltype(slot)>>(m_module.Symbol(name));
        if (!slot && !missing) missing = name;
    });
    if (missing) {
        m_error = UserText("VorbisDecoder", "モジュールに %1 がありません").Arg(missing);
        ForEachFunction(forget);
        m_module.Unload();
        return false;
    }
    m_error = UserText();
    return true;
}

namespace {

CVorbisDecoder& TheModule() {
    static CVorbisDecoder instance;
    return instance;
}

}  // namespace

const CVorbisDecoder* LoadVorbisDecoder() {
    // A static local is initialised once even when threads race; a failed load is not retried.
    static const CVorbisDecoder* const decoder = TheModule().Load("vorbisdec") ? &TheModule() : nullptr;
    return decoder;
}

Failure VorbisModuleMissing() {
    // Said where tags or a row go missing, so it names the file and the package that bring it back.
    LoadVorbisDecoder();
    return KindFailure(FailureKind::kMissing,
                       UserText("VorbisDecoder",
                                "Vorbis のコメントを書き込み・読み込むモジュール vorbisdec.so を使えません (%1)。"
                                "パッケージ libvorbisfile3 (sudo apt-get install libvorbisfile3) と、"
                                "プログラムと同じフォルダ（またはインストール先のモジュールフォルダ）にある vorbisdec.so が必要です。")
                           .Arg(TheModule().Error()));
}
