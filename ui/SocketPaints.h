// CSocketPaints: this process sends its repaints to the X server over the socket.
#pragma once

// The window redraws a few small areas ten times a second, for days. Through MIT shared memory
// Qt waits before each redraw for the X server to answer that it has read the last one: a round
// trip that wakes the window and the server every time. Over the socket nothing waits, and even a
// whole window goes quickly to a local server. Wayland ignores the choice.
class CSocketPaints {
public:
    // Before the QApplication, whose X connection reads the choice; a choice already in the
    // environment stands.
    CSocketPaints();
    // After it: programs started from the window (a player opening a recording) choose for themselves.
    void Connected();

private:
    bool m_chosenHere = false;
};
