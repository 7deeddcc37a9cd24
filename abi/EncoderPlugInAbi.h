/* The C functions an encoder plug-in exports; "%s" in their names is the prefix PlugIn_Info reports. */
#pragma once

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Handles are opaque non-zero 32-bit values; 0 means failure. Results are non-zero on success. */
typedef int32_t PlugInInfoFn(int32_t reserved, char* prefix, int32_t size);
typedef int32_t PlugInOpenFn(const char* fileName);
typedef int32_t PlugInOutputFn(int32_t handle, int32_t bitrate, int32_t sampleRate, int32_t channels,
                               int32_t bitsPerSample, int32_t maxBitrate, int32_t minBitrate);
typedef int32_t PlugInStartFn(int32_t handle);
typedef int32_t PlugInWriteDeviceFn(int32_t handle, const void* pcm, int32_t bytes);
typedef int32_t PlugInEndFn(int32_t handle);
typedef int32_t PlugInCloseFn(int32_t handle);
typedef int32_t PlugInSetOptFn(int32_t handle, int32_t value, int32_t reserved);
/* A one-line description of the open encoder; the length of the text, 0 on failure. */
typedef int32_t PlugInGetInfoFn(int32_t handle, char* text, int32_t size);
/* Like Open, on a file descriptor the caller keeps (the plug-in writes through a duplicate). */
typedef int32_t PlugInOpenFromHandlerFn(int32_t fileDescriptor);
/* Like WriteDevice, counted in sample frames of 16-bit interleaved PCM. */
typedef int32_t PlugInWriteSampleFn(int32_t handle, const int16_t* pcm, int32_t frames);

#define PLUGIN_PREFIX_BUFFER 30
#define PLUGIN_EXPORT_NAME_BUFFER 32

#ifdef __cplusplus
}
#endif
