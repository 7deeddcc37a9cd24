// Stops for tests: VELSONA_TEST_STOP_AT names finishing steps (comma-separated) at which the
// process stops itself with SIGSTOP, so a test can kill it at exactly that instant.
#pragma once

// Installs the stops when the variable is set; read once, by the front end at its start.
void InstallStepStopsForTests();
