// The tag editor's cover thumbnail and its buttons, offscreen: a file's
// front cover is shown, a chosen PNG image is saved as the APIC frame's
// exact data, a removed cover leaves no APIC frame, other files are refused,
// and a WAV readout hides the cover.
#include <QApplication>
#include <QBuffer>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>

#include "tests/tageditor/AudioFiles.h"
#include "tests/tageditor/TagEditorFixture.h"

namespace brindle::tageditor {
namespace {

using namespace testfiles;
using platform::testing::DialogCall;
using testsupport::TempDir;

std::size_t countOf(const std::string& haystack, const std::string& needle) {
  std::size_t count = 0;
  for (auto at = haystack.find(needle); at != std::string::npos;
       at = haystack.find(needle, at + 1)) {
    ++count;
  }
  return count;
}

/// A small PNG image of one colour, as its file bytes.
std::string pngImage(QColor colour) {
  QImage image(16, 12, QImage::Format_RGB32);
  image.fill(colour);
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "PNG");
  return bytes.toStdString();
}

class TagEditorCoverTest : public TagEditorFixture {
 protected:
  bool thumbnailShown() {
    const QLabel& cover = editor().coverImage();
    return !cover.pixmap().isNull();
  }
};

TEST_F(TagEditorCoverTest, ChosenPngIsSavedAsTheCoverAndRemovedAgain) {
  const std::string png = pngImage(Qt::red);
  const std::string imagePath = browsed.write("cover.png", png);
  const std::string path =
      browsed.write("a.mp3", id3tag(3, textFrame("TIT2", "Song") + pictureFrame()) + audio());
  browsed.write("b.mp3", id3tag(3, textFrame("TIT2", "Other")) + audio());
  frmID3Info& tags = openEditor();
  EXPECT_FALSE(tags.button("cmdSetCover")->isEnabled());
  doubleClick("a.mp3");
  EXPECT_TRUE(tags.button("cmdSetCover")->isEnabled());
  // The file's picture is no image Qt can draw: the box says a cover is there.
  EXPECT_EQ(tags.coverImage().text(), "(cover)");

  test.dialogs.choose(imagePath);
  click("cmdSetCover");
  ASSERT_EQ(test.dialogs.calls().size(), 1u);
  EXPECT_EQ(test.dialogs.calls()[0].kind, DialogCall::Kind::Open);
  EXPECT_EQ(test.dialogs.calls()[0].open.filter, "Images (*.jpg *.jpeg *.png)");
  EXPECT_TRUE(thumbnailShown());
  // Not written before Save; the change is an unsaved edit.
  EXPECT_EQ(countOf(TempDir::read(path), png), 0u);
  test.dialogs.clear();
  test.dialogs.answer(platform::Answer::Cancel);
  doubleClick("b.mp3");
  ASSERT_EQ(test.dialogs.messages().size(), 1u);
  EXPECT_EQ(test.dialogs.messages()[0].text, "Save changes to a.mp3?");

  click("Command1");
  std::string saved = TempDir::read(path);
  EXPECT_EQ(countOf(saved, "APIC"), 1u);
  EXPECT_EQ(countOf(saved, frame23("APIC", bytes({0}) + "image/png" + bytes({0, 3, 0}) + png)), 1u);
  EXPECT_EQ(countOf(saved, "Song"), 1u);

  click("cmdRemoveCover");
  EXPECT_FALSE(thumbnailShown());
  EXPECT_EQ(tags.coverImage().text(), "");
  click("Command1");
  saved = TempDir::read(path);
  EXPECT_EQ(countOf(saved, "APIC"), 0u);
  EXPECT_EQ(countOf(saved, "Song"), 1u);
}

TEST_F(TagEditorCoverTest, OtherFilesAreRefusedAndCancelChangesNothing) {
  const std::string notes = browsed.write("notes.png", "GIF89a not really");
  const std::string path =
      browsed.write("a.mp3", id3tag(3, textFrame("TIT2", "Song") + pictureFrame()) + audio());
  const std::string before = TempDir::read(path);
  openEditor();
  doubleClick("a.mp3");
  test.dialogs.choose("");
  click("cmdSetCover");
  test.dialogs.choose(notes);
  click("cmdSetCover");
  ASSERT_EQ(test.dialogs.messages().size(), 1u);
  EXPECT_EQ(test.dialogs.messages()[0].text,
            "Cannot use notes.png as the cover:\nit is not a JPEG or PNG image");
  EXPECT_EQ(test.dialogs.messages()[0].icon, platform::Icon::Critical);
  EXPECT_EQ(editor().coverImage().text(), "(cover)");
  // Nothing changed: leaving asks nothing and the file keeps its bytes.
  test.dialogs.clear();
  editor().close();
  EXPECT_TRUE(test.dialogs.calls().empty());
  EXPECT_EQ(TempDir::read(path), before);
}

TEST_F(TagEditorCoverTest, AVersion24CoverWithAUtf16DescriptionIsShownAndWavHidesIt) {
  const std::string png = pngImage(Qt::blue);
  const std::string description = bytes({0xFF, 0xFE, 'F', 0, 'r', 0, 'o', 0, 0, 0});
  browsed.write(
      "a.mp3",
      id3tag(4, frame24("TIT2", bytes({3}) + "Song") +
                    frame24("APIC",
                            bytes({0}) + "image/jpeg" + bytes({0, 4, 0}) + pngImage(Qt::green)) +
                    frame24("APIC", bytes({1}) + "image/png" + bytes({0, 3}) + description + png)) +
          audio());
  browsed.write("b.wav", wav(1, 22050, 8, 22050 * 4));
  frmID3Info& tags = openEditor();
  doubleClick("a.mp3");
  ASSERT_TRUE(thumbnailShown());
  // The front cover (type 3), not the first picture.
  EXPECT_EQ(tags.coverImage().pixmap().toImage().pixelColor(60, 60), QColor(Qt::blue));

  doubleClick("b.wav");
  QApplication::processEvents();
  EXPECT_FALSE(tags.findChild<QGroupBox*>("FrameCover")->isVisible());
  EXPECT_FALSE(thumbnailShown());
  EXPECT_FALSE(tags.button("cmdSetCover")->isEnabled());
  EXPECT_FALSE(tags.button("cmdRemoveCover")->isEnabled());
}

}  // namespace
}  // namespace brindle::tageditor
