// The tag editor window opened from the main window: its controls, the
// file list, loading MP3 and WAV files with a double click, editing and
// saving real files, the typed limits, Unicode fields, the on-screen
// commands and what outlives the window.
#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStatusBar>
#include <QTest>

#include "inspect/GenreList.h"
#include "inspect/Readout.h"
#include "tageditor/TagField.h"
#include "tests/tageditor/AudioFiles.h"
#include "tests/tageditor/TagEditorFixture.h"
#include "ui/DirectoryListBox.h"
#include "ui/FileListBox.h"
#include "ui/core/Mnemonics.h"

namespace brindle::tageditor {
namespace {

using inspect::genreList;
using inspect::genrePositionForText;

using namespace testfiles;
using platform::Answer;
using platform::testing::FsOp;
using testsupport::TempDir;

class TagEditorWindowTest : public TagEditorFixture {
 protected:
  /// A tagged MP3 file in the browsed folder.
  std::string writeSong(const std::string& name, const std::string& title, int genre = 17) {
    return browsed.write(name, id3tag(3, textFrame("TIT2", title) + textFrame("TPE1", "Artist") +
                                             textFrame("TRCK", "07") + textFrame("TCON", "Rock") +
                                             commentFrame("line one") + pictureFrame()) +
                                   audio() + v1Tag(title, "Artist", "Album", "2001", "c1", genre));
  }
};

TEST_F(TagEditorWindowTest, OpensOnTheMainWindowsDirectoryWithItsControls) {
  browsed.makeDirectory("sub");
  frmID3Info& editor = openEditor();
  EXPECT_EQ(editor.windowTitle(), "Brindle Tag Editor");
  EXPECT_TRUE(editor.isVisible());
  EXPECT_FALSE(editor.isModal());
  EXPECT_EQ(editor.directoryList().path(), browsed.path());
  EXPECT_EQ(editor.fileList().path(), browsed.path());
  EXPECT_EQ(editor.driveList().currentData().toByteArray().toStdString(), browsed.path());

  const std::pair<const char*, const char*> buttons[] = {{"Command1", "Save"},
                                                         {"Command2", "<<<"},
                                                         {"Command3", ">>>"},
                                                         {"Command4", "Title Case"},
                                                         {"Command5", "Use Previous"},
                                                         {"Command6", "Name From File"},
                                                         {"Command7", "Exit"},
                                                         {"Command8", "Clear All Tags"},
                                                         {"Command9", "Clear Version 1"},
                                                         {"Command10", "Clear Version 2"},
                                                         {"Command11", "Auto Info"},
                                                         {"Command12", "Number Tracks"}};
  for (const auto& [name, caption] : buttons) {
    auto* button = editor.findChild<QPushButton*>(name);
    ASSERT_NE(button, nullptr) << name;
    EXPECT_EQ(button->text(), caption);
    EXPECT_TRUE(button->isEnabled()) << name;
  }
  const std::pair<const char*, const char*> frames[] = {{"Frame1_0", "ID3 Tag v1"},
                                                        {"Frame1_1", "ID3 Tag v2"},
                                                        {"Frame2", "MP3 Info"},
                                                        {"Frame3", "Clear Tags"},
                                                        {"Frame4", "Tag Naming"}};
  for (const auto& [name, caption] : frames) {
    auto* frame = editor.findChild<QGroupBox*>(name);
    ASSERT_NE(frame, nullptr) << name;
    EXPECT_EQ(frame->title(), caption);
  }
  // The groups hold their buttons top to bottom.
  auto order = [&](const char* frame) {
    std::vector<std::string> names;
    for (auto* button : editor.findChild<QGroupBox*>(frame)->findChildren<QPushButton*>()) {
      names.push_back(button->objectName().toStdString());
    }
    return names;
  };
  EXPECT_EQ(order("Frame3"), (std::vector<std::string>{"Command8", "Command9", "Command10"}));
  EXPECT_EQ(order("Frame4"), (std::vector<std::string>{"Command6", "Command4", "Command5",
                                                       "Command11", "Command12"}));

  for (int index = 0; index < kFieldCount; ++index) {
    QWidget* field = editor.findChild<QWidget*>(QString("txt_%1").arg(index));
    ASSERT_NE(field, nullptr) << index;
    EXPECT_EQ(field, editor.txt(index));
    EXPECT_EQ(field->font().styleHint(), QFont::Serif) << index;
    const char* caption = fieldSpec(index).caption;
    auto* label = editor.findChild<QLabel*>(index == kV2Track ? QString("Label3")
                                                              : QString("Label1_%1").arg(index));
    ASSERT_NE(label, nullptr) << index;
    EXPECT_EQ(label->text(), caption);
    EXPECT_EQ(field->parentWidget(),
              &editor.tagFrame(fieldSpec(index).version == TagVersion::V1 ? 0 : 1));
  }
  EXPECT_NE(qobject_cast<QPlainTextEdit*>(editor.txt(kV2Comment)), nullptr);
  EXPECT_EQ(editor.findChild<QLabel*>("Label2")->text(), "MP3 Files");

  // Only the first readout line exists before a readout.
  EXPECT_NE(editor.lbl(0), nullptr);
  for (int i = 1; i <= 10; ++i) EXPECT_EQ(editor.lbl(i), nullptr);
  EXPECT_FALSE(editor.pleaseWaitNote().isVisible());
  EXPECT_EQ(editor.progressBar().value(), 0);
  EXPECT_EQ(ui::withoutMnemonic(editor.menuItem("mnuexit")->text()), "Exit");
  EXPECT_EQ(editor.menuItem("mnuhelpme")->text(), "(?)");
  EXPECT_NE(editor.findChild<QLabel*>("Picture1"), nullptr);
}

TEST_F(TagEditorWindowTest, ComponentBoxHasAFixedSizeAndItsCaptions) {
  frmID3Info& editor = openEditor();
  auto* box = editor.findChild<QFrame*>("ID3");
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(box->minimumSize(), box->maximumSize());
  EXPECT_EQ(box->size(), QSize(133, 32));
  box->resize(400, 100);
  EXPECT_EQ(box->size(), QSize(133, 32));
  QStringList captions;
  for (auto* label : box->findChildren<QLabel*>()) captions << label->text();
  EXPECT_EQ(captions, (QStringList{"ID3 +", "wav & mp3 info"}));
}

TEST_F(TagEditorWindowTest, GenreListHoldsTheEntriesWithTheirNumbers) {
  QComboBox& genre = openEditor().genreList();
  ASSERT_EQ(genre.count(), 150);
  EXPECT_EQ(genre.itemText(0), " ");
  EXPECT_EQ(genre.itemData(0).toInt(), 255);
  for (int i = 1; i < 150; ++i) {
    EXPECT_EQ(genre.itemText(i), genreList()[static_cast<std::size_t>(i)].name);
    EXPECT_EQ(genre.itemData(i).toInt(), genreList()[static_cast<std::size_t>(i)].number);
  }
  EXPECT_EQ(genre.currentIndex(), 0);
}

TEST_F(TagEditorWindowTest, ListsMp3AndWavFilesInAnyLetterCase) {
  for (const char* name : {"a.mp3", "b.wav", "c.txt", "Song.Mp3", "D.WAV", "e.MP3", "f.mp3.bak"}) {
    browsed.write(name, "x");
  }
  openEditor();
  EXPECT_EQ(listed(), (std::vector<std::string>{"a.mp3", "b.wav", "D.WAV", "e.MP3", "Song.Mp3"}));
  EXPECT_EQ(editor().fileList().selectionMode(), QAbstractItemView::SingleSelection);
}

TEST_F(TagEditorWindowTest, DoubleClickLoadsAnMp3File) {
  writeSong("song.mp3", "Northern Road");
  openEditor();
  doubleClick("song.mp3");
  EXPECT_EQ(field(kV2Title), "Northern Road");
  EXPECT_EQ(field(kV2Artist), "Artist");
  EXPECT_EQ(field(kV2Track), "07");
  EXPECT_EQ(field(kV2Genre), "Rock");
  EXPECT_EQ(field(kV2Comment), "line one");
  EXPECT_EQ(field(kV1Title), "Northern Road");
  EXPECT_EQ(field(kV1Year), "2001");
  EXPECT_EQ(editor().genreList().currentText(), "Rock");
  EXPECT_TRUE(editor().tagFrame(0).isVisible());
  EXPECT_TRUE(editor().tagFrame(1).isVisible());
  EXPECT_EQ(editor().readoutFrame().title(), "MPEG Info");
  const std::vector<std::string> lines = inspect::mp3Readout(editor().component());
  for (int i = 0; i <= 10; ++i) {
    ASSERT_NE(editor().lbl(i), nullptr);
    EXPECT_TRUE(editor().lbl(i)->isVisible());
    EXPECT_EQ(editor().lbl(i)->text().toStdString(), lines[static_cast<std::size_t>(i)]);
  }
  EXPECT_EQ(editor().lbl(9)->text(), "ID3 Tag v1: True");
  EXPECT_EQ(editor().lbl(10)->text(), "ID3 Tag v2: True");
  EXPECT_TRUE(test.dialogs.calls().empty());
}

// Edits are never thrown away unasked: loading another file or closing the
// window asks "Save changes to NAME?"; Save writes the loaded file, Discard
// leaves it as it was, Cancel keeps the edits on screen.
TEST_F(TagEditorWindowTest, UnsavedEditsAreAskedAboutBeforeTheyAreLeft) {
  struct Row {
    Answer answer;
    bool closeWindow;
    bool leaves;
    bool written;
  };
  const Row rows[] = {
      {Answer::Save, false, true, true},     {Answer::Discard, false, true, false},
      {Answer::Cancel, false, false, false}, {Answer::Save, true, true, true},
      {Answer::Discard, true, true, false},  {Answer::Cancel, true, false, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(platform::testing::answerName(row.answer) +
                 (row.closeWindow ? " at closing" : " at loading"));
    const std::string before = TempDir::read(writeSong("a.mp3", "First"));
    writeSong("b.mp3", "Second");
    frmID3Info& tags = openEditor();
    doubleClick("a.mp3");
    test.dialogs.clear();
    setField(kV2Title, "Edited");
    test.dialogs.answer(row.answer);
    if (row.closeWindow) {
      tags.close();
    } else {
      doubleClick("b.mp3");
    }
    ASSERT_EQ(test.dialogs.messages().size(), 1u);
    EXPECT_EQ(test.dialogs.messages()[0].text, "Save changes to a.mp3?");
    EXPECT_EQ(test.dialogs.messages()[0].buttons, platform::Buttons::SaveDiscardCancel);
    if (row.written) {
      EXPECT_EQ(readSaved(browsed.file("a.mp3")).v2.at(id3v2::TIT2), "Edited");
    } else {
      EXPECT_EQ(TempDir::read(browsed.file("a.mp3")), before);
    }
    if (row.closeWindow) {
      EXPECT_EQ(tags.isVisible(), !row.leaves);
    } else {
      EXPECT_EQ(field(kV2Title), row.leaves ? "Second" : "Edited");
    }
    // Nothing is asked once the edits are undone by hand.
    if (!row.leaves) setField(kV2Title, "First");
    if (!(row.closeWindow && row.leaves)) tags.close();
    EXPECT_EQ(test.dialogs.messages().size(), 1u);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_EQ(commands->tagEditor(), nullptr);
  }
}

// Closing the main window closes the tag editor, after its question: Cancel
// keeps both open.
TEST_F(TagEditorWindowTest, ClosingTheMainWindowAsksAboutTheEdits) {
  writeSong("a.mp3", "First");
  frmID3Info& tags = openEditor();
  doubleClick("a.mp3");
  setField(kV2Title, "Edited");
  test.dialogs.answer(Answer::Cancel);
  EXPECT_FALSE(window->close());
  EXPECT_TRUE(window->isVisible());
  EXPECT_TRUE(tags.isVisible());
  test.dialogs.answer(Answer::Discard);
  EXPECT_TRUE(window->close());
  EXPECT_FALSE(window->isVisible());
  EXPECT_EQ(test.dialogs.messages().size(), 2u);
}

// Unchanged fields ask nothing; "Save" says on the status line what it saved.
TEST_F(TagEditorWindowTest, SaveSaysWhatItSavedAndUnchangedFieldsAskNothing) {
  writeSong("a.mp3", "First");
  writeSong("b.mp3", "Second");
  frmID3Info& tags = openEditor();
  doubleClick("a.mp3");
  doubleClick("b.mp3");
  EXPECT_TRUE(test.dialogs.calls().empty());
  setField(kV2Title, "Edited");
  click("Command1");
  EXPECT_EQ(tags.statusBar()->currentMessage(), "Saved b.mp3");
  EXPECT_EQ(readSaved(browsed.file("b.mp3")).v2.at(id3v2::TIT2), "Edited");
  // Ctrl+S saves as the button does.
  setField(kV2Title, "By key");
  tags.statusBar()->clearMessage();
  tags.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&tags));
  QTest::keyClick(tags.txt(kV2Title), Qt::Key_S, Qt::ControlModifier);
  // A button's key presses it the way a click does, shown for a moment.
  for (int i = 0; i < 100 && tags.statusBar()->currentMessage().isEmpty(); ++i) QTest::qWait(20);
  EXPECT_EQ(tags.statusBar()->currentMessage(), "Saved b.mp3");
  EXPECT_EQ(readSaved(browsed.file("b.mp3")).v2.at(id3v2::TIT2), "By key");
  doubleClick("a.mp3");
  tags.close();
  EXPECT_TRUE(test.dialogs.calls().empty());
  EXPECT_FALSE(tags.isVisible());
}

// The window opens again with the size it was closed with.
TEST_F(TagEditorWindowTest, TheWindowKeepsItsSizeBetweenOpenings) {
  frmID3Info& first = openEditor();
  first.resize(900, 640);
  first.close();
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  ASSERT_EQ(commands->tagEditor(), nullptr);
  EXPECT_EQ(openEditor().size(), QSize(900, 640));
}

// A single click or an arrow key loads the entry it makes current; a name
// of another ending waits for the double click and its message.
TEST_F(TagEditorWindowTest, AClickOrAnArrowKeyLoadsTheCurrentFile) {
  writeSong("a.mp3", "First");
  writeSong("b.mp3", "Second");
  browsed.write("c.Mp3", "not listed as loadable");
  openEditor();
  ui::FileListBox& list = editor().fileList();
  QTest::mouseClick(list.viewport(), Qt::LeftButton, {},
                    list.visualRect(list.model()->index(indexOf("a.mp3"), 0)).center());
  EXPECT_EQ(field(kV2Title), "First");
  QTest::keyClick(&list, Qt::Key_Down);
  EXPECT_EQ(list.currentName(), "b.mp3");
  EXPECT_EQ(field(kV2Title), "Second");
  QTest::keyClick(&list, Qt::Key_Down);
  EXPECT_EQ(list.currentName(), "c.Mp3");
  EXPECT_EQ(field(kV2Title), "Second");
  EXPECT_TRUE(test.dialogs.calls().empty());

  // With edits, the arrow asks first; Cancel keeps them.
  QTest::keyClick(&list, Qt::Key_Up);
  setField(kV2Title, "Edited");
  test.dialogs.answer(Answer::Cancel);
  QTest::keyClick(&list, Qt::Key_Up);
  EXPECT_EQ(list.currentName(), "a.mp3");
  ASSERT_EQ(test.dialogs.messages().size(), 1u);
  EXPECT_EQ(test.dialogs.messages()[0].text, "Save changes to b.mp3?");
  EXPECT_EQ(field(kV2Title), "Edited");
}

// "MP3 Tags" with a file chosen in the main window loads that file.
TEST_F(TagEditorWindowTest, OpeningWithAFileChosenInTheMainWindowLoadsIt) {
  writeSong("a.mp3", "First");
  writeSong("b.mp3", "Second");
  start();
  commands = &installTagEditorCommands(*window);
  clickEntry(1);
  ASSERT_EQ(window->fileList().currentName(), "b.mp3");
  frmID3Info& tags = openEditor();
  EXPECT_EQ(tags.fileList().currentName(), "b.mp3");
  EXPECT_EQ(field(kV2Title), "Second");
  EXPECT_EQ(tags.component().FileName, browsed.file("b.mp3"));
}

// Showing a WAV readout moves nothing: the tag frames keep their room.
TEST_F(TagEditorWindowTest, AWavReadoutDoesNotMoveTheLayout) {
  writeSong("a.mp3", "A");
  browsed.write("b.wav", wav(1, 22050, 8, 22050 * 4));
  frmID3Info& tags = openEditor();
  doubleClick("a.mp3");
  const QRect readout = tags.readoutFrame().geometry();
  const QRect list = tags.fileList().geometry();
  doubleClick("b.wav");
  QApplication::processEvents();
  EXPECT_FALSE(tags.tagFrame(0).isVisible());
  EXPECT_EQ(tags.readoutFrame().geometry(), readout);
  EXPECT_EQ(tags.fileList().geometry(), list);
}

// The window opens within its screen, and its controls scroll when the window
// is smaller than they need: a 1280x720 screen (also 1920x1080 at 150%) shows
// them all without sideways scrolling.
TEST_F(TagEditorWindowTest, TheWindowFitsSmallScreens) {
  frmID3Info& tags = openEditor();
  const QSize available = tags.screen()->availableGeometry().size();
  EXPECT_LE(tags.width(), available.width());
  EXPECT_LE(tags.height(), available.height());
  auto* scroll = qobject_cast<QScrollArea*>(tags.centralWidget());
  ASSERT_NE(scroll, nullptr);
  EXPECT_TRUE(scroll->widget()->isAncestorOf(&tags.fileList()));
  EXPECT_LE(scroll->widget()->minimumSizeHint().width(), 1240);
  EXPECT_LE(scroll->widget()->minimumSizeHint().height(), 650);
  // 720 pixels less a desktop panel and the window's title bar.
  tags.resize(1280, 660);
  QApplication::processEvents();
  EXPECT_FALSE(scroll->horizontalScrollBar()->isVisible());
  EXPECT_FALSE(scroll->verticalScrollBar()->isVisible())
      << scroll->widget()->minimumSizeHint().height() << " in " << scroll->height();
}

TEST_F(TagEditorWindowTest, GenreWithoutANameLoadsBlankAndSaves255) {
  const std::string path = writeSong("song.mp3", "T", 200);
  openEditor();
  editor().genreList().setCurrentIndex(5);
  doubleClick("song.mp3");
  EXPECT_EQ(editor().genreList().currentIndex(), 0);
  click("Command1");
  EXPECT_EQ(readSaved(path).v1->genre, 255);
}

TEST_F(TagEditorWindowTest, WavReadoutHidesTheTagFramesAndDisablesTheTagButtons) {
  writeSong("a.mp3", "A");
  browsed.write("b.WAV", wav(1, 22050, 8, 22050 * 4));
  openEditor();
  doubleClick("a.mp3");
  doubleClick("b.WAV");
  EXPECT_FALSE(editor().tagFrame(0).isVisible());
  EXPECT_FALSE(editor().tagFrame(1).isVisible());
  EXPECT_EQ(editor().readoutFrame().title(), "WAV Info");
  EXPECT_TRUE(editor().readoutFrame().isVisible());
  for (const char* name : {"Command1", "Command2", "Command3"}) {
    EXPECT_FALSE(editor().button(name)->isEnabled()) << name;
  }
  EXPECT_TRUE(editor().button("Command11")->isEnabled());
  const std::vector<std::string> lines = inspect::wavReadout(editor().component());
  for (int i = 0; i <= 5; ++i) {
    EXPECT_EQ(editor().lbl(i)->text().toStdString(), lines[static_cast<std::size_t>(i)]);
  }
  EXPECT_EQ(editor().lbl(4)->text(), "Channels: 1");
  EXPECT_EQ(editor().lbl(5)->text(), "Frequency: 22050");
  // Lines 6 to 10 of the MP3 readout before are emptied.
  for (int i = 6; i <= 10; ++i) EXPECT_EQ(editor().lbl(i)->text(), "") << i;
  // The fields keep the MP3 file's values, hidden; the loaded file stays.
  EXPECT_EQ(field(kV2Title), "A");
  EXPECT_EQ(editor().component().FileName, browsed.file("a.mp3"));

  doubleClick("a.mp3");
  EXPECT_TRUE(editor().tagFrame(0).isVisible());
  EXPECT_TRUE(editor().button("Command1")->isEnabled());
  EXPECT_EQ(editor().readoutFrame().title(), "MPEG Info");
}

TEST_F(TagEditorWindowTest, MixedCaseEndingIsListedButRefused) {
  writeSong("Song.Mp3", "S");
  openEditor();
  doubleClick("Song.Mp3");
  ASSERT_EQ(test.dialogs.messages().size(), 1u);
  EXPECT_EQ(test.dialogs.messages()[0].text, "Select *.mp3 or *.wav file!!!");
  EXPECT_EQ(field(kV2Title), "");
  EXPECT_EQ(editor().lbl(1), nullptr);
  EXPECT_TRUE(editor().component().FileName.empty());
}

TEST_F(TagEditorWindowTest, EditAndSaveARealEncodedFile) {
  if (!haveEncoder()) GTEST_SKIP() << "sox and lame are not installed";
  ASSERT_TRUE(encodeMp3(browsed, "Harbour Lights.mp3", 2));
  openEditor();
  doubleClick("Harbour Lights.mp3");
  EXPECT_EQ(editor().lbl(2)->text(), "MPEG 1.0 layer 3");
  EXPECT_EQ(editor().lbl(10)->text(), "ID3 Tag v2: False");

  typeInto(kV1Title, "Harbour Lights");
  typeInto(kV1Artist, "The Ferrymen");
  typeInto(kV1Year, "1998");
  editor().genreList().setCurrentIndex(genrePositionForText("Folk"));
  click("Command3");  // >>>
  typeInto(kV2Track, "02");
  typeInto(kV2EncodedBy, "lame");
  QTest::keyClicks(editor().txt(kV2Comment), "first");
  click("Command1");
  EXPECT_TRUE(test.dialogs.calls().empty());

  const SavedTags saved = readSaved(browsed.file("Harbour Lights.mp3"));
  EXPECT_EQ(saved.v2.at(id3v2::TIT2), "Harbour Lights");
  EXPECT_EQ(saved.v2.at(id3v2::TPE1), "The Ferrymen");
  EXPECT_EQ(saved.v2.at(id3v2::TYER), "1998");
  EXPECT_EQ(saved.v2.at(id3v2::TCON), "Folk");
  EXPECT_EQ(saved.v2.at(id3v2::TRCK), "02");
  EXPECT_EQ(saved.v2.at(id3v2::TENC), "lame");
  EXPECT_EQ(saved.v2.at(id3v2::COMM), "first");
  ASSERT_TRUE(saved.v1);
  EXPECT_EQ(saved.v1->title, "Harbour Lights");
  EXPECT_EQ(saved.v1->year, "1998");
  EXPECT_EQ(saved.v1->genre, 80);

  // Loaded again: the same values and the audio behind the new tag.
  doubleClick("Harbour Lights.mp3");
  EXPECT_EQ(field(kV2Title), "Harbour Lights");
  EXPECT_EQ(editor().genreList().currentText(), "Folk");
  EXPECT_EQ(editor().lbl(3)->text(), "128 kbps");
  EXPECT_EQ(editor().lbl(9)->text(), "ID3 Tag v1: True");
  EXPECT_EQ(editor().lbl(10)->text(), "ID3 Tag v2: True");
}

TEST_F(TagEditorWindowTest, SaveKeepsFramesNoFieldShowsAndAnUneditedComment) {
  const std::string path = browsed.write(
      "song.mp3",
      id3tag(3, textFrame("TIT2", "T") + commentFrame("two\r\nlines") + pictureFrame()) + audio());
  openEditor();
  doubleClick("song.mp3");
  click("Command1");
  const SavedTags saved = readSaved(path);
  EXPECT_TRUE(saved.hasPicture);
  EXPECT_EQ(saved.v2.at(id3v2::COMM), "two\r\nlines");
}

TEST_F(TagEditorWindowTest, UnicodeInAVersion2FieldIsSavedAndReadBackIntact) {
  const std::string path = writeSong("song.mp3", "Old");
  openEditor();
  doubleClick("song.mp3");
  setField(kV2Title, "");
  const QString typed = QString::fromUtf8("Сон — 夢 ♫ 🎵");
  commitInto(kV2Title, typed);
  EXPECT_EQ(editor().txtText(kV2Title), typed);
  static_cast<QPlainTextEdit*>(editor().txt(kV2Comment))->moveCursor(QTextCursor::End);
  commitInto(kV2Comment, QString::fromUtf8(" — ひとこと"));
  click("Command1");
  const SavedTags saved = readSaved(path);
  EXPECT_EQ(saved.v2.at(id3v2::TIT2), typed.toStdString());
  EXPECT_EQ(saved.encoding.at(id3v2::TIT2), 1);
  EXPECT_EQ(saved.v2.at(id3v2::COMM), "line one — ひとこと");
  // "<<<" puts the title into the single-byte version 1 tag as it can.
  click("Command2");
  click("Command1");
  EXPECT_EQ(readSaved(path).v1->title, "??? ? ? ? ?");

  setField(kV2Title, "x");
  test.dialogs.answer(Answer::Discard);  // the edit is not to be saved
  doubleClick("song.mp3");
  EXPECT_EQ(editor().txtText(kV2Title), typed);
}

TEST_F(TagEditorWindowTest, Version1FieldsTakeWhatTheSingleByteTagHolds) {
  openEditor();
  commitInto(kV1Title, QString::fromUtf8("Café"));
  EXPECT_EQ(field(kV1Title), "Café");
  commitInto(kV1Title, QString::fromUtf8("夢"));
  EXPECT_EQ(field(kV1Title), "Café");
  commitInto(kV2Composer, QString::fromUtf8("夢"));
  EXPECT_EQ(field(kV2Composer), "夢");
}

TEST_F(TagEditorWindowTest, TypedLimitsCutTypingButNotTextSetByTheProgram) {
  openEditor();
  typeInto(kV1Title, QString(35, 'a'));
  EXPECT_EQ(editor().txtText(kV1Title).size(), 30);
  typeInto(kV1Year, "199876");
  EXPECT_EQ(field(kV1Year), "1998");
  typeInto(kV2Year, "19987654");
  EXPECT_EQ(field(kV2Year), "199876");
  typeInto(kV2Title, QString(300, 'b'));
  EXPECT_EQ(editor().txtText(kV2Title).size(), 300);

  // "<<<" copies a 40-character version 2 title whole; typing cannot make it
  // longer, but may shorten it.
  setField(kV2Title, QString(40, 'c'));
  click("Command2");
  EXPECT_EQ(editor().txtText(kV1Title), QString(40, 'c'));
  typeInto(kV1Title, "d");
  EXPECT_EQ(editor().txtText(kV1Title), QString(40, 'c'));
  QTest::keyClick(editor().txt(kV1Title), Qt::Key_Backspace);
  EXPECT_EQ(editor().txtText(kV1Title), QString(39, 'c'));
}

TEST_F(TagEditorWindowTest, LongVersion1TitleIsCutByTheWriter) {
  const std::string path = writeSong("song.mp3", "Old");
  openEditor();
  doubleClick("song.mp3");
  setField(kV2Title, QString(40, 'x'));
  click("Command2");
  click("Command1");
  EXPECT_EQ(readSaved(path).v1->title, std::string(30, 'x'));
}

TEST_F(TagEditorWindowTest, ChangingTheDirectoryEmptiesTheFieldsAndForgetsTheLoadedFile) {
  writeSong("song.mp3", "T");
  browsed.makeDirectory("other");
  browsed.write("other/x.mp3", audio());
  openEditor();
  doubleClick("song.mp3");
  editor().genreList().setCurrentIndex(9);
  test.dialogs.answer(Answer::Discard);  // the edited genre is not to be saved
  ASSERT_TRUE(editor().directoryList().setPath(browsed.file("other")));
  for (int index = 0; index < kFieldCount; ++index) EXPECT_EQ(field(index), "") << index;
  EXPECT_EQ(editor().genreList().currentIndex(), 0);
  EXPECT_EQ(listed(), (std::vector<std::string>{"x.mp3"}));
  EXPECT_EQ(editor().component().FileName, "");
  ASSERT_EQ(test.dialogs.messages().size(), 1u);
  EXPECT_EQ(test.dialogs.messages()[0].text, "Save changes to song.mp3?");
}

// Cancel at another folder keeps the edits with their file: Save writes it.
TEST_F(TagEditorWindowTest, CancelAtAnotherFolderKeepsTheEditsAndTheirFile) {
  writeSong("song.mp3", "T");
  browsed.makeDirectory("other");
  openEditor();
  doubleClick("song.mp3");
  setField(kV2Title, "Edited");
  test.dialogs.answer(Answer::Cancel);
  ASSERT_TRUE(editor().directoryList().setPath(browsed.file("other")));
  EXPECT_EQ(field(kV2Title), "Edited");
  EXPECT_EQ(editor().component().FileName, browsed.file("song.mp3"));
  click("Command1");
  EXPECT_EQ(readSaved(browsed.file("song.mp3")).v2.at(id3v2::TIT2), "Edited");
  EXPECT_EQ(test.dialogs.messages().size(), 1u);
}

TEST_F(TagEditorWindowTest, DriveThatCannotBeReadIsIgnored) {
  openEditor();
  test.fileSystem.fail(FsOp::ListDirectory, platform::Error{EIO, "no medium"}, "/");
  editor().driveList().setCurrentIndex(editor().driveList().findText("/"));
  emit editor().driveList().activated(editor().driveList().currentIndex());
  EXPECT_EQ(editor().directoryList().path(), browsed.path());
  EXPECT_TRUE(test.dialogs.calls().empty());
  test.fileSystem.clearFaults();
  emit editor().driveList().activated(editor().driveList().currentIndex());
  EXPECT_EQ(editor().directoryList().path(), "/");
}

TEST_F(TagEditorWindowTest, ClearCommandsEmptyTheirFieldsAndWriteNothing) {
  const std::string path = writeSong("song.mp3", "T");
  const std::string before = testsupport::TempDir::read(path);
  openEditor();
  doubleClick("song.mp3");
  test.fileSystem.clearCalls();
  click("Command10");
  EXPECT_EQ(field(kV2Title), "");
  EXPECT_EQ(field(kV2Track), "");
  EXPECT_EQ(field(kV1Title), "T");
  EXPECT_EQ(editor().genreList().currentText(), "Rock");
  click("Command9");
  EXPECT_EQ(field(kV1Title), "");
  EXPECT_EQ(editor().genreList().currentIndex(), 0);
  EXPECT_TRUE(test.fileSystem.calls().empty());
  EXPECT_EQ(testsupport::TempDir::read(path), before);

  doubleClick("song.mp3");
  click("Command8");
  for (int index = 0; index < kFieldCount; ++index) EXPECT_EQ(field(index), "") << index;
  EXPECT_EQ(editor().genreList().currentIndex(), 0);
}

TEST_F(TagEditorWindowTest, CopyTitleCaseAndNameFromFile) {
  writeSong("Track 01.mp3", "the DARK side");
  openEditor();
  doubleClick("Track 01.mp3");
  setField(kV2Genre, "Jazz");
  click("Command2");  // <<<
  EXPECT_EQ(editor().genreList().currentText(), "Jazz");
  click("Command4");  // Title Case
  EXPECT_EQ(field(kV1Title), "The Dark Side");
  EXPECT_EQ(field(kV2Title), "The Dark Side");
  EXPECT_EQ(field(kV2Comment), "Line One");
  click("Command6");  // Name From File
  EXPECT_EQ(field(kV2Title), "Track 01");
  EXPECT_EQ(field(kV1Title), "The Dark Side");

  editor().genreList().setCurrentIndex(0);
  click("Command3");  // >>>
  EXPECT_EQ(field(kV2Genre), " ");
  EXPECT_EQ(field(kV2Title), "The Dark Side");
}

TEST_F(TagEditorWindowTest, NameFromFileWithoutSelectionOrOtherEndingChangesNothing) {
  writeSong("Take.mp3", "T");
  browsed.write("Take.wav", wav(1, 8000, 8, 8000));
  openEditor();
  setField(kV2Title, "kept");
  click("Command6");
  EXPECT_EQ(field(kV2Title), "kept");
  doubleClick("Take.wav");
  click("Command6");
  EXPECT_EQ(field(kV2Title), "kept");
}

TEST_F(TagEditorWindowTest, RememberedValuesOutliveTheWindow) {
  writeSong("a.mp3", "A");
  openEditor();
  click("Command5");  // Use Previous before any Save: the fourteen fields empty
  doubleClick("a.mp3");
  click("Command5");
  EXPECT_EQ(field(kV2Artist), "");
  EXPECT_EQ(field(kV2Title), "A");
  EXPECT_EQ(field(kV2Track), "07");

  test.dialogs.answer(Answer::Discard);  // what Use Previous put there
  doubleClick("a.mp3");
  setField(kV2Album, "Remembered Album");
  click("Command1");
  editor().menuItem("mnuexit")->trigger();
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_EQ(commands->tagEditor(), nullptr);

  frmID3Info& reopened = openEditor();
  // Fresh controls and a fresh component: nothing loaded.
  EXPECT_EQ(field(kV2Album), "");
  EXPECT_TRUE(reopened.component().FileName.empty());
  click("Command5");
  EXPECT_EQ(field(kV2Album), "Remembered Album");
  EXPECT_EQ(field(kV2Artist), "Artist");
  EXPECT_EQ(field(kV2Genre), "Rock");
  EXPECT_EQ(field(kV2Title), "");
  EXPECT_EQ(field(kV2Track), "");
  EXPECT_EQ(reopened.genreList().currentText(), "Rock");
}

TEST_F(TagEditorWindowTest, BothItemsShowTheOneWindow) {
  frmID3Info& first = openEditor();
  window->menuItem("mnueditmp3tags")->trigger();
  EXPECT_EQ(commands->tagEditor(), &first);
  first.close();
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  window->menuItem("mnueditmp3tags")->trigger();
  ASSERT_NE(commands->tagEditor(), nullptr);
  EXPECT_TRUE(commands->tagEditor()->isVisible());
}

TEST_F(TagEditorWindowTest, ExitButtonAndClosingTheMainWindowCloseIt) {
  openEditor();
  click("Command7");
  EXPECT_FALSE(editor().isVisible());
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  openEditor();
  window->close();
  EXPECT_FALSE(editor().isVisible());
}

}  // namespace
}  // namespace brindle::tageditor
