/* LAME's encoder-library interface: the exports of lame_enc.so and its byte-packed records. */
#pragma once

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#define LAME_ENC_EXPORT __attribute__((visibility("default")))

typedef uint32_t BE_ERR;
enum {
    BE_ERR_SUCCESSFUL = 0,
    BE_ERR_INVALID_FORMAT = 1,
    BE_ERR_INVALID_FORMAT_PARAMETERS = 2,
    BE_ERR_NO_MORE_HANDLES = 3,
    BE_ERR_INVALID_HANDLE = 4,
    BE_ERR_BUFFER_TOO_SMALL = 5
};

enum { BE_CONFIG_LAME = 256 };
enum { BE_MP3_MODE_STEREO = 0, BE_MP3_MODE_JSTEREO = 1, BE_MP3_MODE_DUALCHANNEL = 2, BE_MP3_MODE_MONO = 3 };
enum { MPEG2 = 0, MPEG1 = 1 };
enum {
    LQP_NOPRESET = -1,
    LQP_NORMAL_QUALITY = 0,
    LQP_LOW_QUALITY = 1,
    LQP_HIGH_QUALITY = 2,
    LQP_VOICE_QUALITY = 3,
    LQP_R3MIX = 4,
    LQP_VERYHIGH_QUALITY = 5,
    LQP_STANDARD = 6,
    LQP_FAST_STANDARD = 7,
    LQP_EXTREME = 8,
    LQP_FAST_EXTREME = 9,
    LQP_INSANE = 10,
    LQP_ABR = 11,
    LQP_CBR = 12
};
enum {
    VBR_METHOD_NONE = -1,
    VBR_METHOD_DEFAULT = 0,
    VBR_METHOD_OLD = 1,
    VBR_METHOD_NEW = 2,
    VBR_METHOD_MTRH = 3,
    VBR_METHOD_ABR = 4
};

#pragma pack(push, 1)
/* The LAME layout of the configuration record: 331 bytes, byte-packed. */
typedef struct {
    uint32_t dwConfig;          /* BE_CONFIG_LAME */
    uint32_t dwStructVersion;   /* 1 */
    uint32_t dwStructSize;      /* 331 */
    uint32_t dwSampleRate;      /* input rate, Hz */
    uint32_t dwReSampleRate;    /* output rate, Hz; 0: the encoder decides */
    int32_t nMode;              /* BE_MP3_MODE_* */
    uint32_t dwBitrate;         /* kbit/s; CBR rate, VBR minimum */
    uint32_t dwMaxBitrate;      /* kbit/s; VBR maximum */
    int32_t nPreset;            /* LQP_* */
    uint32_t dwMpegVersion;     /* MPEG1 or MPEG2 */
    uint32_t dwPsyModel;
    uint32_t dwEmphasis;
    int32_t bPrivate;
    int32_t bCRC;
    int32_t bCopyright;
    int32_t bOriginal;
    int32_t bWriteVBRHeader;
    int32_t bEnableVBR;
    int32_t nVBRQuality;        /* 0 (best) … 9 */
    uint32_t dwVbrAbr_bps;      /* ABR mean bitrate in bit/s instead of nVBRQuality when above 0 */
    int32_t nVbrMethod;         /* VBR_METHOD_* */
    int32_t bNoRes;             /* disable the bit reservoir */
    int32_t bStrictIso;
    uint16_t nQuality;          /* low byte 0..9 counts only when the high byte is its complement */
    uint8_t btReserved[237];
} BE_CONFIG;

typedef struct {
    uint8_t byDLLMajorVersion;
    uint8_t byDLLMinorVersion;
    uint8_t byMajorVersion;
    uint8_t byMinorVersion;
    uint8_t byDay;
    uint8_t byMonth;
    uint16_t wYear;
    char zHomepage[129];
    uint8_t byAlphaLevel;
    uint8_t byBetaLevel;
    uint8_t byMMXEnabled;
    uint8_t btReserved[125];
} BE_VERSION;
#pragma pack(pop)

typedef uintptr_t HBE_STREAM;

/* samples: 16-bit samples per chunk over all channels; bufferSize: bytes an output buffer needs. */
typedef BE_ERR (*BEINITSTREAM)(BE_CONFIG* config, uint32_t* samples, uint32_t* bufferSize, HBE_STREAM* stream);
/* At most one chunk of interleaved samples; output must hold bufferSize bytes. */
typedef BE_ERR (*BEENCODECHUNK)(HBE_STREAM stream, uint32_t samples, const int16_t* pcm, uint8_t* output,
                                uint32_t* outputBytes);
typedef BE_ERR (*BEDEINITSTREAM)(HBE_STREAM stream, uint8_t* output, uint32_t* outputBytes);
/* Keeps the stream's LAME tag for a following beWriteVBRHeader on the same thread. */
typedef BE_ERR (*BECLOSESTREAM)(HBE_STREAM stream);
typedef void (*BEVERSION)(BE_VERSION* version);
/* Rewrites the first frame of the closed file with the tag of the stream this thread closed last. */
typedef BE_ERR (*BEWRITEVBRHEADER)(const char* fileName);

LAME_ENC_EXPORT BE_ERR beInitStream(BE_CONFIG* config, uint32_t* samples, uint32_t* bufferSize, HBE_STREAM* stream);
LAME_ENC_EXPORT BE_ERR beEncodeChunk(HBE_STREAM stream, uint32_t samples, const int16_t* pcm, uint8_t* output,
                                     uint32_t* outputBytes);
LAME_ENC_EXPORT BE_ERR beDeinitStream(HBE_STREAM stream, uint8_t* output, uint32_t* outputBytes);
LAME_ENC_EXPORT BE_ERR beCloseStream(HBE_STREAM stream);
LAME_ENC_EXPORT void beVersion(BE_VERSION* version);
LAME_ENC_EXPORT BE_ERR beWriteVBRHeader(const char* fileName);

#ifdef __cplusplus
}
#endif

#ifdef __cplusplus
static_assert(sizeof(BE_CONFIG) == 331, "the LAME configuration record is 331 bytes");
#endif
