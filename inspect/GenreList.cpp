#include "inspect/GenreList.h"

#include <array>

namespace brindle::inspect {

namespace {

constexpr std::array kGenres{
    GenreEntry{" ", kNoGenre},
    GenreEntry{"A Cappella", 123},
    GenreEntry{"Acid", 34},
    GenreEntry{"Acid Jazz", 74},
    GenreEntry{"Acid Punk", 73},
    GenreEntry{"Acoustic", 99},
    GenreEntry{"Alt. Rock", 40},
    GenreEntry{"Alternative", 20},
    GenreEntry{"Ambient", 26},
    GenreEntry{"Anime", 145},
    GenreEntry{"Avantgarde", 90},
    GenreEntry{"Ballad", 116},
    GenreEntry{"Bass", 41},
    GenreEntry{"Beat", 135},
    GenreEntry{"Bebob", 85},
    GenreEntry{"Big Band", 96},
    GenreEntry{"Black Metal", 138},
    GenreEntry{"Bluegrass", 89},
    GenreEntry{"Blues", 0},
    GenreEntry{"Booty Bass", 107},
    GenreEntry{"Britpop", 132},
    GenreEntry{"Cabaret", 65},
    GenreEntry{"Celtic", 88},
    GenreEntry{"Chamber Music", 104},
    GenreEntry{"Chanson", 102},
    GenreEntry{"Chorus", 97},
    GenreEntry{"Christian Gangsta", 136},
    GenreEntry{"Christian Rap", 61},
    GenreEntry{"Christian Rock", 141},
    GenreEntry{"Classic Rock", 1},
    GenreEntry{"Classical", 32},
    GenreEntry{"Club", 112},
    GenreEntry{"Club-House", 128},
    GenreEntry{"Comedy", 57},
    GenreEntry{"Contemporary Christian", 140},
    GenreEntry{"Country", 2},
    GenreEntry{"Crossover", 139},
    GenreEntry{"Cult", 58},
    GenreEntry{"Dance", 3},
    GenreEntry{"Dance Hall", 125},
    GenreEntry{"Darkwave", 50},
    GenreEntry{"Death Metal", 22},
    GenreEntry{"Disco", 4},
    GenreEntry{"Dream", 55},
    GenreEntry{"Drum & Bass", 127},
    GenreEntry{"Drum Solo", 122},
    GenreEntry{"Duet", 120},
    GenreEntry{"Easy Listening", 98},
    GenreEntry{"Electronic", 52},
    GenreEntry{"Ethnic", 48},
    GenreEntry{"Eurodance", 54},
    GenreEntry{"Euro-House", 124},
    GenreEntry{"Euro-Techno", 25},
    GenreEntry{"Fast-Fusion", 84},
    GenreEntry{"Floklore", 115},
    GenreEntry{"Folk", 80},
    GenreEntry{"Folk/Rock", 81},
    GenreEntry{"Free Style", 119},
    GenreEntry{"Funk", 5},
    GenreEntry{"Fussion", 30},
    GenreEntry{"Game", 36},
    GenreEntry{"Gangsta Rap", 59},
    GenreEntry{"Goe", 126},
    GenreEntry{"Gospel", 38},
    GenreEntry{"Gothic", 49},
    GenreEntry{"Gothic Rock", 91},
    GenreEntry{"Grunge", 6},
    GenreEntry{"Hard Rock", 79},
    GenreEntry{"Hardcore", 129},
    GenreEntry{"Heavy Metal", 137},
    GenreEntry{"Hip-Hop", 7},
    GenreEntry{"House", 35},
    GenreEntry{"Humour", 100},
    GenreEntry{"Indie", 131},
    GenreEntry{"Industrial", 19},
    GenreEntry{"Instrumental", 33},
    GenreEntry{"Instrumental Pop", 46},
    GenreEntry{"Instrumental Rock", 47},
    GenreEntry{"Jazz", 8},
    GenreEntry{"Jazz+Funk", 29},
    GenreEntry{"JPop", 146},
    GenreEntry{"Jungle", 63},
    GenreEntry{"Latin", 86},
    GenreEntry{"Lo-Fi", 71},
    GenreEntry{"Meditative", 45},
    GenreEntry{"Merengue", 142},
    GenreEntry{"Metal", 9},
    GenreEntry{"Musical", 77},
    GenreEntry{"National Folk", 82},
    GenreEntry{"Native American", 64},
    GenreEntry{"Negerpunk", 133},
    GenreEntry{"New Age", 10},
    GenreEntry{"New Wave", 66},
    GenreEntry{"Noise", 39},
    GenreEntry{"Oldies", 11},
    GenreEntry{"Opera", 103},
    GenreEntry{"Other", 12},
    GenreEntry{"Polka", 75},
    GenreEntry{"Polskpunk", 134},
    GenreEntry{"Pop", 13},
    GenreEntry{"Pop/Funk", 62},
    GenreEntry{"Pop-Folk", 53},
    GenreEntry{"Porn Groove", 109},
    GenreEntry{"Power Ballad", 117},
    GenreEntry{"Pranks", 23},
    GenreEntry{"Primus", 108},
    GenreEntry{"Progressive Rock", 92},
    GenreEntry{"Psychedelic", 67},
    GenreEntry{"Psychedelic Rock", 93},
    GenreEntry{"Punk", 43},
    GenreEntry{"Punk Rock", 121},
    GenreEntry{"R&B", 14},
    GenreEntry{"Rap", 15},
    GenreEntry{"Rave", 68},
    GenreEntry{"Reggae", 16},
    GenreEntry{"Retro", 76},
    GenreEntry{"Revival", 87},
    GenreEntry{"Rhytmic Soul", 118},
    GenreEntry{"Rock", 17},
    GenreEntry{"Rock & Jazz", 78},
    GenreEntry{"Salsa", 143},
    GenreEntry{"Samba", 114},
    GenreEntry{"Satire", 110},
    GenreEntry{"Showtunes", 69},
    GenreEntry{"Ska", 21},
    GenreEntry{"Slow Jam", 111},
    GenreEntry{"Slow Rock", 95},
    GenreEntry{"Sonata", 105},
    GenreEntry{"Soul", 42},
    GenreEntry{"Sound Clip", 37},
    GenreEntry{"Soundtrack", 24},
    GenreEntry{"Southern Rock", 56},
    GenreEntry{"Space", 44},
    GenreEntry{"Speech", 101},
    GenreEntry{"Swing", 83},
    GenreEntry{"Symphonic Rock", 94},
    GenreEntry{"Symphony", 106},
    GenreEntry{"Synth Pop", 147},
    GenreEntry{"Tango", 113},
    GenreEntry{"Techno", 18},
    GenreEntry{"Techno-Industrial", 51},
    GenreEntry{"Terror", 130},
    GenreEntry{"Top 40", 60},
    GenreEntry{"Trailer", 70},
    GenreEntry{"Trance", 31},
    GenreEntry{"Trash Metal", 144},
    GenreEntry{"Tribal", 72},
    GenreEntry{"Trip-Hop", 27},
    GenreEntry{"Turbo Folk", 148},
    GenreEntry{"Vocal", 28},
};

static_assert(kGenres.size() == 150);

}  // namespace

std::span<const GenreEntry> genreList() {
  return kGenres;
}

int genrePositionForNumber(int number) {
  // Only the named entries are compared: the blank entry is what remains.
  for (std::size_t position = 1; position < kGenres.size(); ++position) {
    if (kGenres[position].number == number) return static_cast<int>(position);
  }
  return 0;
}

bool isListedGenre(int number) {
  return genrePositionForNumber(number) != 0;
}

int genrePositionForText(const std::string& text) {
  for (std::size_t position = 0; position < kGenres.size(); ++position) {
    if (text == kGenres[position].name) return static_cast<int>(position);
  }
  return -1;
}

int genreNumberAt(int position) {
  if (position < 0 || position >= static_cast<int>(kGenres.size())) return kNoGenre;
  return kGenres[static_cast<std::size_t>(position)].number;
}

}  // namespace brindle::inspect
