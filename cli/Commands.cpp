// The table of brindle-cli's subcommands: one row per subcommand.
#include "cli/Command.h"
#include "cli/HistoryCommands.h"
#include "cli/RenameCommand.h"
#include "cli/TagCommands.h"

namespace brindle::cli {

namespace {

// Add a row here for each new subcommand (see Command.h).
constexpr Command kCommands[] = {
    {"read", "Print the tags and MPEG data of MP3 files", defineRead},
    {"wav", "Print the WAV data of WAV files", defineWav},
    {"info", "Print the technical readout of MP3 or WAV files", defineInfo},
    {"write", "Change tag fields of an MP3 file and save both tags", defineWrite},
    {"remove-v2", "Remove the ID3 version 2 tag of MP3 files", defineRemoveV2},
    {"rename", "Rename files of a directory as the main window's rename commands do", defineRename},
    {"history", "List the recorded batches of changes, newest first", defineHistory},
    {"undo", "Undo the last recorded batch, or the one named", defineUndo},
};

}  // namespace

std::span<const Command> commands() {
  return kCommands;
}

}  // namespace brindle::cli
