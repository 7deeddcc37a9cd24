// The signals that ask either program to stop cleanly, and those that must not end it.
#pragma once

// A closed pipe or a file-size limit must end a track through the writer's error path, never
// kill the process with the track unfinished: SIGPIPE and SIGXFSZ are ignored.
void IgnoreWriteSignals();

// Makes SIGINT and SIGTERM ask for a stop, and with `hangUpStops` SIGHUP too (an SSH logout),
// unless it is ignored (started under nohup, the user asked for the run to outlive the logout).
// The handler only marks the request and makes the returned descriptor readable (a handler may
// do nothing that is not async-signal-safe); each program reacts on its own thread. -1 when no
// descriptor could be made: the signals then keep their defaults.
int InstallStopSignals(bool hangUpStops);
// True when a stop was asked since the last call; empties the descriptor.
bool TakeStopRequest();
