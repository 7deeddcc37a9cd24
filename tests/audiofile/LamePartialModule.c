/* A LAME module that lacks beWriteVBRHeader, for the loader's all-or-nothing rule. */
#define EXPORT __attribute__((visibility("default")))
EXPORT int beInitStream(void) { return 1; }
EXPORT int beEncodeChunk(void) { return 1; }
EXPORT int beDeinitStream(void) { return 1; }
EXPORT int beCloseStream(void) { return 1; }
EXPORT void beVersion(void) {}
