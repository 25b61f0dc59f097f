// The genre list: 150 entries in their fixed order, the blank entry first,
// each name bound to its version 1 genre number.
#include "inspect/GenreList.h"

#include <gtest/gtest.h>

#include <set>

namespace brindle::inspect {
namespace {

/// The named entries in list order as "name=number;".
constexpr const char* kExpectedGenres =
    "A Cappella=123;Acid=34;Acid Jazz=74;Acid Punk=73;Acoustic=99;Alt. Rock=40;Alternative=20;"
    "Ambient=26;Anime=145;Avantgarde=90;Ballad=116;Bass=41;Beat=135;Bebob=85;Big Band=96;"
    "Black Metal=138;Bluegrass=89;Blues=0;Booty Bass=107;Britpop=132;Cabaret=65;Celtic=88;"
    "Chamber Music=104;Chanson=102;Chorus=97;Christian Gangsta=136;Christian Rap=61;"
    "Christian Rock=141;Classic Rock=1;Classical=32;Club=112;Club-House=128;Comedy=57;"
    "Contemporary Christian=140;Country=2;Crossover=139;Cult=58;Dance=3;Dance Hall=125;"
    "Darkwave=50;Death Metal=22;Disco=4;Dream=55;Drum & Bass=127;Drum Solo=122;Duet=120;"
    "Easy Listening=98;Electronic=52;Ethnic=48;Eurodance=54;Euro-House=124;Euro-Techno=25;"
    "Fast-Fusion=84;Floklore=115;Folk=80;Folk/Rock=81;Free Style=119;Funk=5;Fussion=30;Game=36;"
    "Gangsta Rap=59;Goe=126;Gospel=38;Gothic=49;Gothic Rock=91;Grunge=6;Hard Rock=79;"
    "Hardcore=129;Heavy Metal=137;Hip-Hop=7;House=35;Humour=100;Indie=131;Industrial=19;"
    "Instrumental=33;Instrumental Pop=46;Instrumental Rock=47;Jazz=8;Jazz+Funk=29;JPop=146;"
    "Jungle=63;Latin=86;Lo-Fi=71;Meditative=45;Merengue=142;Metal=9;Musical=77;National Folk=82;"
    "Native American=64;Negerpunk=133;New Age=10;New Wave=66;Noise=39;Oldies=11;Opera=103;"
    "Other=12;Polka=75;Polskpunk=134;Pop=13;Pop/Funk=62;Pop-Folk=53;Porn Groove=109;"
    "Power Ballad=117;Pranks=23;Primus=108;Progressive Rock=92;Psychedelic=67;"
    "Psychedelic Rock=93;Punk=43;Punk Rock=121;R&B=14;Rap=15;Rave=68;Reggae=16;Retro=76;"
    "Revival=87;Rhytmic Soul=118;Rock=17;Rock & Jazz=78;Salsa=143;Samba=114;Satire=110;"
    "Showtunes=69;Ska=21;Slow Jam=111;Slow Rock=95;Sonata=105;Soul=42;Sound Clip=37;"
    "Soundtrack=24;Southern Rock=56;Space=44;Speech=101;Swing=83;Symphonic Rock=94;Symphony=106;"
    "Synth Pop=147;Tango=113;Techno=18;Techno-Industrial=51;Terror=130;Top 40=60;Trailer=70;"
    "Trance=31;Trash Metal=144;Tribal=72;Trip-Hop=27;Turbo Folk=148;Vocal=28;";

TEST(GenreList, HoldsTheBlankEntryThenTheNamesInOrder) {
  const auto list = genreList();
  ASSERT_EQ(list.size(), 150u);
  EXPECT_STREQ(list[0].name, " ");
  EXPECT_EQ(list[0].number, kNoGenre);
  std::string named;
  for (std::size_t i = 1; i < list.size(); ++i) {
    named += std::string(list[i].name) + "=" + std::to_string(list[i].number) + ";";
  }
  EXPECT_EQ(named, kExpectedGenres);
}

TEST(GenreList, EveryNumberFrom0To148Once) {
  std::set<int> numbers;
  for (std::size_t i = 1; i < genreList().size(); ++i) numbers.insert(genreList()[i].number);
  EXPECT_EQ(numbers.size(), 149u);
  EXPECT_EQ(*numbers.begin(), 0);
  EXPECT_EQ(*numbers.rbegin(), 148);
}

TEST(GenreList, PositionForNumber) {
  EXPECT_STREQ(genreList()[static_cast<std::size_t>(genrePositionForNumber(17))].name, "Rock");
  EXPECT_STREQ(genreList()[static_cast<std::size_t>(genrePositionForNumber(0))].name, "Blues");
  EXPECT_STREQ(genreList()[static_cast<std::size_t>(genrePositionForNumber(148))].name,
               "Turbo Folk");
  EXPECT_EQ(genrePositionForNumber(123), 1);  // "A Cappella" comes first
  // Numbers without a name give the blank entry.
  for (int number : {149, 200, 254, 255, -1}) EXPECT_EQ(genrePositionForNumber(number), 0);
}

TEST(GenreList, PositionForTextIsExact) {
  EXPECT_EQ(genrePositionForText(" "), 0);
  EXPECT_EQ(genreNumberAt(genrePositionForText("Rock")), 17);
  EXPECT_EQ(genreNumberAt(genrePositionForText("Drum & Bass")), 127);
  EXPECT_EQ(genrePositionForText("rock"), -1);
  EXPECT_EQ(genrePositionForText("Rock "), -1);
  EXPECT_EQ(genrePositionForText(""), -1);
}

TEST(GenreList, ListedGenresAreTheNamedNumbers) {
  for (int number : {0, 17, 148}) EXPECT_TRUE(isListedGenre(number)) << number;
  for (int number : {149, 200, 254, 255, -1}) EXPECT_FALSE(isListedGenre(number)) << number;
}

TEST(GenreList, NumberAtAPosition) {
  EXPECT_EQ(genreNumberAt(0), kNoGenre);
  EXPECT_EQ(genreNumberAt(149), 28);  // "Vocal", last
  EXPECT_EQ(genreNumberAt(150), kNoGenre);
  EXPECT_EQ(genreNumberAt(-1), kNoGenre);
}

}  // namespace
}  // namespace brindle::inspect
