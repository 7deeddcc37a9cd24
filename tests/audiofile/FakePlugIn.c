/* A fake encoder plug-in: exports built from FAKE_PREFIX, every call appended to the file that
   VELSONA_FAKE_LOG names. FAKE_OMIT_WRITE_DEVICE leaves one export out; PlugIn_Info fails while
   VELSONA_FAKE_INFO_FAILS is set; Open refuses names containing "refuse". */
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "abi/EncoderPlugInAbi.h"

#define EXPORT __attribute__((visibility("default")))
#define JOIN2(a, b) a##_##b
#define JOIN(a, b) JOIN2(a, b)
#define NAME(suffix) JOIN(FAKE_PREFIX, suffix)
#define TEXT2(x) #x
#define TEXT(x) TEXT2(x)

static void Log(const char* format, ...) {
    const char* path = getenv("VELSONA_FAKE_LOG");
    FILE* file = path ? fopen(path, "a") : NULL;
    if (!file) return;
    va_list args;
    va_start(args, format);
    fprintf(file, "%s ", TEXT(FAKE_PREFIX));
    vfprintf(file, format, args);
    fputc('\n', file);
    va_end(args);
    fclose(file);
}

EXPORT int32_t PlugIn_Info(int32_t reserved, char* prefix, int32_t size) {
    Log("Info(%d,%d)", reserved, size);
    if (getenv("VELSONA_FAKE_INFO_FAILS")) return -1;
    snprintf(prefix, size, "%s", TEXT(FAKE_PREFIX));
    return 0;
}

EXPORT int32_t NAME(Open)(const char* name) {
    Log("Open(%s)", name);
    return strstr(name, "refuse") ? 0 : 7;
}

EXPORT int32_t NAME(Output)(int32_t handle, int32_t bitrate, int32_t rate, int32_t channels, int32_t bits,
                            int32_t maxBitrate, int32_t minBitrate) {
    Log("Output(%d,%d,%d,%d,%d,%d,%d)", handle, bitrate, rate, channels, bits, maxBitrate, minBitrate);
    return 1;
}

EXPORT int32_t NAME(Start)(int32_t handle) {
    Log("Start(%d)", handle);
    return 1;
}

#ifndef FAKE_OMIT_WRITE_DEVICE
EXPORT int32_t NAME(WriteDevice)(int32_t handle, const void* pcm, int32_t bytes) {
    (void)pcm;
    Log("WriteDevice(%d,%d)", handle, bytes);
    return 1;
}
#endif

EXPORT int32_t NAME(End)(int32_t handle) {
    Log("End(%d)", handle);
    return 1;
}

EXPORT int32_t NAME(Close)(int32_t handle) {
    Log("Close(%d)", handle);
    return 1;
}

EXPORT int32_t NAME(SetOpt)(int32_t handle, int32_t value, int32_t reserved) {
    Log("SetOpt(%d,%d,%d)", handle, value, reserved);
    return value * 2;
}

EXPORT int32_t NAME(GetInfo)(int32_t handle, char* text, int32_t size) {
    (void)handle, (void)text, (void)size;
    return 0;
}

EXPORT int32_t NAME(OpenFromHandler)(int32_t fd) {
    (void)fd;
    return 0;
}

EXPORT int32_t NAME(WriteSample)(int32_t handle, const int16_t* pcm, int32_t frames) {
    (void)handle, (void)pcm, (void)frames;
    return 0;
}
