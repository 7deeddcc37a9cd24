/* The comment editor of the Vorbis decoding module: replaces the comment header of an Ogg
   Vorbis stream and copies everything else. C interface, as the module exports it. */
#ifndef VELSONA_VCEDIT_H
#define VELSONA_VCEDIT_H

#include <stddef.h>
#include <vorbis/codec.h>

#ifdef VORBISDEC_BUILD
#define VCEDIT_EXPORT __attribute__((visibility("default")))
#else
#define VCEDIT_EXPORT
#endif

#ifdef __cplusplus
extern "C" {
#endif

typedef struct vcedit_state vcedit_state;
/* fread-like: returns the number of whole items read; 0 at the end. */
typedef size_t (*vcedit_read_func)(void* buffer, size_t size, size_t count, void* source);
/* fwrite-like: returns the number of whole items written. */
typedef size_t (*vcedit_write_func)(const void* buffer, size_t size, size_t count, void* sink);

VCEDIT_EXPORT vcedit_state* vcedit_new_state(void);
VCEDIT_EXPORT void vcedit_clear(vcedit_state* state);
/* The comments read by vcedit_open_callbacks; what vcedit_write writes. */
VCEDIT_EXPORT vorbis_comment* vcedit_comments(vcedit_state* state);
/* Reads the three Vorbis headers from `source`. 0 on success, negative on failure. */
VCEDIT_EXPORT int vcedit_open_callbacks(vcedit_state* state, void* source, vcedit_read_func read,
                                        vcedit_write_func write);
/* Writes the whole stream to `sink` with the new comment header; once per opened state.
   0 on success, negative on failure (damaged or truncated input included). */
VCEDIT_EXPORT int vcedit_write(vcedit_state* state, void* sink);
/* Why the last call failed, or null. */
VCEDIT_EXPORT const char* vcedit_error(vcedit_state* state);

#ifdef __cplusplus
}
#endif

#endif
