/* A decoding module that lacks most functions, for the all-or-none loader. */
__attribute__((visibility("default"))) int ov_clear(void* file) { return file ? 0 : -1; }
