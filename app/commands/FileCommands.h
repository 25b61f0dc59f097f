// The main window's commands on its files that rename nothing: edit the
// current entry in the text editor, delete the current entry, delete the
// selection. Deleted files go to the desktop's trash (Shell::moveToTrash);
// only where no trash takes a file is it removed for good.
#pragma once

#include "platform/Platform.h"
#include "ui/core/FileListHost.h"

namespace brindle::app {

/// Opens the current entry in the plain text editor, the path being one
/// argument of its own. Does nothing without a current entry; a text editor
/// that cannot be started goes unreported.
void editCurrentEntry(platform::Platform& platform, ui::FileListHost& list);

/// Asks "Delete: <entry path>" (Yes/No, no icon, title "Delete") and on Yes
/// deletes the current entry and re-reads the list. Does nothing without a
/// current entry. A failing deletion ends the command without a message and
/// without re-reading the list.
void deleteCurrentEntry(platform::Platform& platform, ui::FileListHost& list);

/// Asks "Delete Selected Files?" (Yes/No, critical icon) and on Yes deletes
/// every selected entry in list order, showing the index of each on the
/// progress bar, then re-reads the list and sets the progress bar back to 0.
/// The first failing deletion shows "Error deleting Files!" and ends the
/// command: later entries are left alone and the list is not re-read.
void deleteSelection(platform::Platform& platform, ui::FileListHost& list);

}  // namespace brindle::app
