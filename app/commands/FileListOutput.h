// The file list put on paper or into a text file: the plain listing (banner,
// path, names, rule) and the CD cover listing (title and names without
// ".mp3"), and the three commands that print, write and append them.
#pragma once

#include <string>
#include <vector>

#include "platform/Platform.h"
#include "ui/core/FileListHost.h"

namespace brindle::app {

/// Program name and version, "Brindle V1.5.2": the Save As dialog's title.
std::string listOutputTitle();

/// The names of every entry of the list, in list order.
std::vector<std::string> listedNames(const ui::FileListHost& list);

/// The plain listing, one string per line: the banner "Brindle V<version>
/// Files List", "PATH: " and the directory, a line of one blank, each name,
/// one empty line, and a rule of 59 underscores.
std::vector<std::string> plainListing(const std::string& directory,
                                      const std::vector<std::string>& names);

/// The CD cover listing: the title, a line of one blank, each name without
/// its ".mp3" occurrences, and one empty line.
std::vector<std::string> coverListing(const std::string& title,
                                      const std::vector<std::string>& names);

/// The name with every occurrence of ".mp3" (exactly these lower-case
/// bytes) removed, scanning once from left to right: "x.mp3.mp3" gives "x",
/// "Song.MP3" stays.
std::string withoutMp3(const std::string& name);

/// The lines as the bytes of a text file: each line as it stands, followed
/// by a carriage return and a line feed.
std::string textFileBytes(const std::vector<std::string>& lines);

/// "Files List To Printer": asks "Continue Printing <count> Files?" (Yes/No,
/// critical icon, No as default, title "Print Files!"), then shows the
/// printer dialog (whose outcome is not examined), prints the plain listing
/// in 11-point type and reports "Files Printed To Printer:", then re-reads
/// the list. Any printer failure shows "Printing Aborted!!" and ends it.
void printFileList(platform::Platform& platform, ui::FileListHost& list);

/// "Add Files List To Files": asks for a file in the Save As dialog (which
/// confirms replacing an existing file), asks "Format for Cover?" and, for a
/// cover, the CD title; then replaces the file's content with the listing,
/// reports "Files Printed To:  <path>" and re-reads the list. A cancelled
/// dialog or a failing write ends the command without a message.
void writeFileListToFile(platform::Platform& platform, ui::FileListHost& list);

/// "Append Files List To File": first says "Files will be appennded to the
/// end of the file!", then works like writeFileListToFile() but adds the
/// listing at the end of the file (created when missing); its Save As dialog
/// does not ask about replacing an existing file.
void appendFileListToFile(platform::Platform& platform, ui::FileListHost& list);

}  // namespace brindle::app
