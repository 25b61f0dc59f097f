// Every help topic number the windows show, by name. A number is the one
// written after "HID:" in the help file Brindlehelp.txt; each name says what
// its topic covers there. The help file also holds general topics that no
// control shows (3 the program, 4 the lists, 25 the disclaimer, 26 context
// help, 45 the drive list, 54 the version 1 genre, 56 the tag editor's
// directory list).
#pragma once

namespace brindle::topics {

/// The topic of a control or menu item that has none: it takes no part in
/// help mode.
inline constexpr int kNoTopic = -1;

// Main window: menus and their items.
inline constexpr int kOptionsMenu = 1;
inline constexpr int kPrintMenu = 2;
inline constexpr int kPrintFileList = 5;
inline constexpr int kAppendFileListToFile = 6;
inline constexpr int kWriteFileListToFile = 7;
inline constexpr int kEditCurrentFile = 8;
inline constexpr int kDeleteCurrentFile = 9;
inline constexpr int kExit = 10;
inline constexpr int kWindowMenu = 11;
inline constexpr int kSelectAllFiles = 12;
/// "Edit File" of the Window menu; same text as kEditCurrentFile.
inline constexpr int kEditCurrentFileFromWindowMenu = 13;
inline constexpr int kDeleteSelectedFiles = 14;
inline constexpr int kChangeExtensions = 15;
inline constexpr int kOpenNumberedRename = 16;
inline constexpr int kRenameSingleFile = 17;
inline constexpr int kRemoveCharacters = 18;
inline constexpr int kConvertToUppercase = 19;
inline constexpr int kConvertToLowercase = 20;
inline constexpr int kConvertToTitleCase = 21;
inline constexpr int kHelpMenu = 22;
inline constexpr int kOpenHelpWindow = 23;
inline constexpr int kOpenAboutWindow = 24;
inline constexpr int kRefreshFiles = 40;
/// "MP3 Tags" and "Edit MP3 Tags" share it.
inline constexpr int kOpenTagEditor = 41;
inline constexpr int kRemoveLeftMost = 42;
inline constexpr int kRemoveRightMost = 43;
inline constexpr int kRemoveMiddleMost = 44;

// Main window: controls.
inline constexpr int kFileList = 27;
inline constexpr int kFileCountBox = 28;
inline constexpr int kPathBox = 29;
inline constexpr int kDirectoryList = 46;
inline constexpr int kNameBox = 47;
inline constexpr int kMainWindowPicture = 48;

// Numbered rename dialog.
inline constexpr int kNumberedStartNumber = 30;
inline constexpr int kNumberedCommonName = 31;
inline constexpr int kNumberedPreview = 32;
inline constexpr int kNumberedCommon = 33;
inline constexpr int kNumberedUnique = 34;
inline constexpr int kNumberedLeft = 35;
inline constexpr int kNumberedRight = 36;
inline constexpr int kNumberedDivider = 37;
inline constexpr int kNumberedAccept = 38;
inline constexpr int kNumberedAbort = 39;

// Tag editor: controls and buttons.
inline constexpr int kTagEditorDrive = 49;
inline constexpr int kTagEditorReadout = 55;
inline constexpr int kTagEditorFileList = 57;
inline constexpr int kClearAllTags = 69;
inline constexpr int kClearVersion1 = 70;
inline constexpr int kClearVersion2 = 71;
inline constexpr int kTagEditorPicture = 72;
inline constexpr int kNameFromFile = 73;
inline constexpr int kTitleCaseFields = 74;
inline constexpr int kUsePrevious = 75;
inline constexpr int kAutoInfo = 76;
inline constexpr int kNumberTracks = 77;
inline constexpr int kSaveTags = 78;
inline constexpr int kExitTagEditor = 79;
inline constexpr int kCopyVersion1To2 = 80;
inline constexpr int kCopyVersion2To1 = 81;

// Tag editor: the fields.
inline constexpr int kV1TitleField = 50;
inline constexpr int kV1ArtistField = 51;
inline constexpr int kV1YearField = 52;
inline constexpr int kV1CommentField = 53;
inline constexpr int kV1AlbumField = 82;
inline constexpr int kV2TitleField = 58;
inline constexpr int kV2ArtistField = 59;
inline constexpr int kV2AlbumField = 60;
inline constexpr int kV2TrackField = 61;
inline constexpr int kV2YearField = 62;
inline constexpr int kV2CommentField = 63;
inline constexpr int kV2ComposerField = 64;
inline constexpr int kV2OriginalArtistField = 65;
inline constexpr int kV2CopyrightField = 66;
inline constexpr int kV2UrlField = 67;
inline constexpr int kV2EncodedByField = 68;
inline constexpr int kV2GenreField = 83;

}  // namespace brindle::topics
