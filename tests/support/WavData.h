// The PCM inside a WAV file, found with the program's own header parser.
#pragma once

#include <string>

// The data chunk's bytes; empty when the file is missing or not a PCM WAV file.
std::string WavPcm(const std::string& path);
