// The error sound of the digit boxes, played through the program's sound player like every
// other sound.
#pragma once

#include <string>

namespace varnex {

constexpr const char* ErrorSoundFile = "systemerror.wav";

// A short tone as the bytes of a 16-bit PCM WAV file.
std::string ErrorToneWav();

// Writes the tone as ErrorSoundFile into `folder` (once) and makes the digit boxes play it
// without waiting. Without a writable folder they keep the system's beep.
void InstallErrorSound(const std::string& folder);

}  // namespace varnex
