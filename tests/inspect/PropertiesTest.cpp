// The property table: the documented order of the names, which are tag texts
// and where each is kept, and the order SaveID3 sets the version 2 frames in.
#include "inspect/Properties.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace brindle::inspect {
namespace {

std::vector<std::string> namesWhere(bool (*keep)(const Property&)) {
  std::vector<std::string> names;
  for (const Property& property : id3Properties()) {
    if (keep(property)) names.emplace_back(property.name);
  }
  return names;
}

TEST(Properties, TagTextsInTheirDocumentedOrder) {
  EXPECT_EQ(namesWhere([](const Property& property) { return property.writable(); }),
            (std::vector<std::string>{"TAGv1Genre", "TAGv1Title", "TAGv1Artist", "TAGv1Album",
                                      "TAGv1Created", "TAGv1Comment", "TAGv2Track", "TAGv2Genre",
                                      "TAGv2Title", "TAGv2Artist", "TAGv2Album", "TAGv2Created",
                                      "TAGv2Comment", "TAGv2Composer", "TAGv2OriginalArtist",
                                      "TAGv2Copyright", "TAGv2Url", "TAGv2EncodedBy"}));
  EXPECT_EQ(id3Properties().size(), 50u);
  EXPECT_STREQ(id3Properties().front().name, "TAGv1Exists");
  EXPECT_STREQ(id3Properties()[42].name, "FileName");
  // Properties added later come after the documented ones.
  std::vector<std::string> added;
  for (const Property& property : id3Properties().subspan(43)) added.emplace_back(property.name);
  EXPECT_EQ(added,
            (std::vector<std::string>{"TAGv1Track", "Mp3Vbr", "Mp3Frames", "Mp3EncoderDelay",
                                      "Mp3AudioBytes", "Mp3LengthInMilliseconds", "WavFormat"}));
  EXPECT_FALSE(findProperty("TAGv1Track")->writable());
  EXPECT_FALSE(findProperty("WavFormat")->writable());
  EXPECT_TRUE(isWavProperty(*findProperty("WavFormat")));
}

TEST(Properties, FindsByExactName) {
  ASSERT_NE(findProperty("TAGv2Title"), nullptr);
  EXPECT_EQ(findProperty("TAGv2Title")->text(), &ID3::TAGv2Title);
  EXPECT_EQ(findProperty("tagv2title"), nullptr);
  EXPECT_FALSE(findProperty("Mp3Bitrate")->writable());
}

TEST(Properties, Version1TextsNameTheirRecordField) {
  EXPECT_EQ(findProperty("TAGv1Title")->tag->v1Field, &Id3v1Fields::title);
  EXPECT_EQ(findProperty("TAGv1Created")->tag->v1Field, &Id3v1Fields::year);
  EXPECT_EQ(findProperty("TAGv1Comment")->tag->v1Field, &Id3v1Fields::comment);
  // The genre is a number in the record, not a text field.
  EXPECT_EQ(findProperty("TAGv1Genre")->tag->v1Field, nullptr);
}

TEST(Properties, Version2FramesInSaveOrder) {
  std::vector<std::pair<std::string, id3v2::ID3v2FrameId>> order;
  for (const Property* property : version2SaveOrder()) {
    order.emplace_back(property->name, property->tag->frame);
  }
  using namespace id3v2;
  EXPECT_EQ(order, (std::vector<std::pair<std::string, ID3v2FrameId>>{{"TAGv2Title", TIT2},
                                                                      {"TAGv2Album", TALB},
                                                                      {"TAGv2Artist", TPE1},
                                                                      {"TAGv2Genre", TCON},
                                                                      {"TAGv2Created", TYER},
                                                                      {"TAGv2EncodedBy", TENC},
                                                                      {"TAGv2Comment", COMM},
                                                                      {"TAGv2Track", TRCK},
                                                                      {"TAGv2OriginalArtist", TOPE},
                                                                      {"TAGv2Composer", TCOM},
                                                                      {"TAGv2Url", WXXX},
                                                                      {"TAGv2Copyright", TCOP}}));
}

TEST(Properties, TagPropertyFindsTheRowOfAMember) {
  static_assert(tagProperty(&ID3::TAGv2Url)->tag->frame == id3v2::WXXX);
  static_assert(tagProperty(&ID3::FileName) == nullptr);
  EXPECT_STREQ(tagProperty(&ID3::TAGv1Artist)->name, "TAGv1Artist");
}

}  // namespace
}  // namespace brindle::inspect
