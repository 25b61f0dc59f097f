// The technical readout of a file as the tag editor shows it: eleven lines
// for an MP3 file, six for a WAV file, from the component's properties.
#pragma once

#include <string>
#include <vector>

#include "inspect/ID3.h"

namespace brindle::inspect {

/// "Size: ..." to "ID3 Tag v2: ...", after ReadID3.
std::vector<std::string> mp3Readout(const ID3& component);

/// "Size: ..." to "Frequency: ...", after ReadWAV.
std::vector<std::string> wavReadout(const ID3& component);

/// What a file's name asks for: the MP3 readout for ".mp3"/".MP3", the WAV
/// readout for ".wav"/".WAV", nothing for any other ending.
enum class ReadoutKind { Mp3, Wav, None };
ReadoutKind readoutKindFor(const std::string& name);

/// The message for a name of another ending.
inline constexpr const char* kSelectMp3OrWav = "Select *.mp3 or *.wav file!!!";

}  // namespace brindle::inspect
