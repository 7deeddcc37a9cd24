// The leak check of a test program that ran a QApplication, made before Qt's statics are torn
// down. Qt never deletes the thread pool its raster engine paints with: once the static that
// points to it is destroyed at exit, a pool thread can be left unreachable for an instant, and the
// sanitizer's own check at exit reported it now and then. Here, after every test and the
// application are gone, each leak of ours is still found and Qt's pool is still reachable.
#pragma once

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

inline void CheckLeaksWhileQtStands() {
#if defined(__SANITIZE_ADDRESS__)
    __lsan_do_leak_check();
#endif
}
