#include "inspect/Properties.h"

#include <array>
#include <cstring>

namespace brindle::inspect {

namespace {

const std::array kProperties{
    Property{"TAGv1Exists", &ID3::TAGv1Exists, false},
    Property{"TAGv1Genre", &ID3::TAGv1Genre, true},
    Property{"TAGv1Title", &ID3::TAGv1Title, true},
    Property{"TAGv1Artist", &ID3::TAGv1Artist, true},
    Property{"TAGv1Album", &ID3::TAGv1Album, true},
    Property{"TAGv1Created", &ID3::TAGv1Created, true},
    Property{"TAGv1Comment", &ID3::TAGv1Comment, true},
    Property{"TAGv1GenreIndex", &ID3::TAGv1GenreIndex, false},
    Property{"TAGv2Exists", &ID3::TAGv2Exists, false},
    Property{"TAGv2Track", &ID3::TAGv2Track, true},
    Property{"TAGv2Genre", &ID3::TAGv2Genre, true},
    Property{"TAGv2Title", &ID3::TAGv2Title, true},
    Property{"TAGv2Artist", &ID3::TAGv2Artist, true},
    Property{"TAGv2Album", &ID3::TAGv2Album, true},
    Property{"TAGv2Created", &ID3::TAGv2Created, true},
    Property{"TAGv2Comment", &ID3::TAGv2Comment, true},
    Property{"TAGv2Composer", &ID3::TAGv2Composer, true},
    Property{"TAGv2OriginalArtist", &ID3::TAGv2OriginalArtist, true},
    Property{"TAGv2Copyright", &ID3::TAGv2Copyright, true},
    Property{"TAGv2Url", &ID3::TAGv2Url, true},
    Property{"TAGv2EncodedBy", &ID3::TAGv2EncodedBy, true},
    Property{"WAVLenghtInSeconds", &ID3::WAVLenghtInSeconds, false},
    Property{"WAVLenght", &ID3::WAVLenght, false},
    Property{"WAVBitrate", &ID3::WAVBitrate, false},
    Property{"WAVFrequency", &ID3::WAVFrequency, false},
    Property{"WAVFileSizeInBytes", &ID3::WAVFileSizeInBytes, false},
    Property{"WAVFileSize", &ID3::WAVFileSize, false},
    Property{"WAVChannels", &ID3::WAVChannels, false},
    Property{"WAVBits", &ID3::WAVBits, false},
    Property{"Mp3FileSizeInBytes", &ID3::Mp3FileSizeInBytes, false},
    Property{"Mp3FileSize", &ID3::Mp3FileSize, false},
    Property{"Mp3FileLenghtInSeconds", &ID3::Mp3FileLenghtInSeconds, false},
    Property{"Mp3FileLenght", &ID3::Mp3FileLenght, false},
    Property{"Mp3Bitrate", &ID3::Mp3Bitrate, false},
    Property{"Mp3Frequency", &ID3::Mp3Frequency, false},
    Property{"Mp3Channels", &ID3::Mp3Channels, false},
    Property{"Mp3Copyright", &ID3::Mp3Copyright, false},
    Property{"Mp3CRC", &ID3::Mp3CRC, false},
    Property{"Mp3Emphasis", &ID3::Mp3Emphasis, false},
    Property{"Mp3Layer", &ID3::Mp3Layer, false},
    Property{"Mp3MPEG", &ID3::Mp3MPEG, false},
    Property{"Mp3Original", &ID3::Mp3Original, false},
    Property{"FileName", &ID3::FileName, false},
};

}  // namespace

std::span<const Property> id3Properties() {
  return kProperties;
}

const Property* findProperty(const std::string& name) {
  for (const Property& property : kProperties) {
    if (name == property.name) return &property;
  }
  return nullptr;
}

bool isWavProperty(const Property& property) {
  return std::strncmp(property.name, "WAV", 3) == 0;
}

}  // namespace brindle::inspect
