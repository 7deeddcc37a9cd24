/* The C functions the WMA decoder and attribute module exports. */
#pragma once

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* What WMA_GetInfo reports: 24 bytes. */
typedef struct WmaStreamInfo {
    int32_t bitsPerSample;
    int32_t channels;
    int32_t sampleRate;
    int32_t bitrate; /* bits per second */
    int64_t length;  /* 100-nanosecond units */
} WmaStreamInfo;

#define WMA_ATTRIBUTE_TEXT 1   /* NUL-terminated UTF-8 text */
#define WMA_ATTRIBUTE_NUMBER 2 /* 32-bit number */
#define WMA_TEXT_BUFFER 512

/* Handles are opaque non-zero 32-bit values; 0 means failure. Results are non-zero on success. */
typedef int32_t WmaOpenFn(const char* fileName, int32_t reserved1, int32_t reserved2);
typedef int32_t WmaStartFn(int32_t handle);
/* The next block of 16-bit interleaved PCM, valid until the next call; 0 at the end. */
typedef int32_t WmaDecodeFn(int32_t handle, const void** pcm, int32_t* bytes, int64_t* position);
typedef int32_t WmaSeekFn(int32_t handle, int64_t milliseconds);
typedef int32_t WmaEndFn(int32_t handle);
typedef int32_t WmaCloseFn(int32_t handle);
typedef int32_t WmaGetInfoFn(int32_t handle, WmaStreamInfo* info);
typedef int32_t WmaTagOpenFn(const char* fileName);
/* Attribute names are NUL-terminated UTF-16. */
typedef int32_t WmaTagGetAttrbFn(int32_t handle, int32_t type, const uint16_t* name, void* value, int32_t size);
typedef int32_t WmaTagSetAttrbFn(int32_t handle, int32_t type, const uint16_t* name, const void* value);
/* Stores what SetAttrb changed; the result says whether that worked. */
typedef int32_t WmaTagCloseFn(int32_t handle);

#ifdef __cplusplus
}
#endif
