// The rows of brindle-cli's subcommand tables: the table of every subcommand
// (Commands.cpp) and brindle-cli's own, without rename (BaseCommands.cpp),
// share them.
#pragma once

#include "cli/Command.h"
#include "cli/HistoryCommands.h"
#include "cli/TagCommands.h"

namespace brindle::cli::rows {

inline constexpr Command kRead{"read", "Print the tags and MPEG data of MP3 files", defineRead};
inline constexpr Command kWav{"wav", "Print the WAV data of WAV files", defineWav};
inline constexpr Command kInfo{"info", "Print the technical readout of MP3 or WAV files",
                               defineInfo};
inline constexpr Command kWrite{"write", "Change tag fields of an MP3 file and save both tags",
                                defineWrite};
inline constexpr Command kRemoveV2{"remove-v2", "Remove the ID3 version 2 tag of MP3 files",
                                   defineRemoveV2};
inline constexpr Command kHistory{"history", "List the recorded batches of changes, newest first",
                                  defineHistory};
inline constexpr Command kUndo{"undo", "Undo the last recorded batch, or the one named",
                               defineUndo};

}  // namespace brindle::cli::rows
