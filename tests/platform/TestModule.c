/* A tiny run-time module for the loader tests: one export, one hidden function. */
__attribute__((visibility("default"))) int TestModule_Answer(void) { return 42; }
int Hidden(void) { return 7; }
