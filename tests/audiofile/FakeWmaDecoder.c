/* A fake WMA decoder module: every export present (FAKE_OMIT_TAG_CLOSE leaves one out); attribute
   writes are appended to the file that VELSONA_FAKE_LOG names. */
#include <stdio.h>
#include <stdlib.h>

#include "abi/WmaDecoderAbi.h"

#define EXPORT __attribute__((visibility("default")))

EXPORT int32_t WMA_Open(const char* name, int32_t a, int32_t b) { (void)name, (void)a, (void)b; return 0; }
EXPORT int32_t WMA_Start(int32_t h) { (void)h; return 0; }
EXPORT int32_t WMA_Decode(int32_t h, const void** pcm, int32_t* bytes, int64_t* position) {
    (void)h, (void)pcm, (void)bytes, (void)position;
    return 0;
}
EXPORT int32_t WMA_Seek(int32_t h, int64_t ms) { (void)h, (void)ms; return 0; }
EXPORT int32_t WMA_End(int32_t h) { (void)h; return 0; }
EXPORT int32_t WMA_Close(int32_t h) { (void)h; return 0; }
EXPORT int32_t WMA_GetInfo(int32_t h, WmaStreamInfo* info) { (void)h, (void)info; return 0; }
EXPORT int32_t WMATag_Open(const char* name) { (void)name; return 3; }
EXPORT int32_t WMATag_GetAttrb(int32_t h, int32_t type, const uint16_t* name, void* value, int32_t size) {
    (void)h, (void)type, (void)name, (void)value, (void)size;
    return 0;
}

EXPORT int32_t WMATag_SetAttrb(int32_t h, int32_t type, const uint16_t* name, const void* value) {
    (void)value;
    const char* path = getenv("VELSONA_FAKE_LOG");
    FILE* file = path ? fopen(path, "a") : NULL;
    if (!file) return 1;
    fprintf(file, "WMATag_SetAttrb(%d,%d,", h, type);
    for (; *name; ++name) fputc((char)*name, file);
    fputs(")\n", file);
    fclose(file);
    return 1;
}

#ifndef FAKE_OMIT_TAG_CLOSE
EXPORT int32_t WMATag_Close(int32_t h) { (void)h; return 1; }
#endif
