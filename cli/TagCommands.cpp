#include "cli/TagCommands.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <charconv>
#include <cstring>
#include <functional>
#include <iterator>
#include <map>
#include <memory>
#include <optional>
#include <ostream>
#include <set>
#include <span>
#include <sstream>
#include <string>
#include <string_view>
#include <thread>
#include <variant>
#include <vector>

#include <nlohmann/json.hpp>

#include "cli/ChangeHistory.h"
#include "cli/ReadingFileSystem.h"
#include "cli/StopOnSignals.h"
#include "history/TagBatch.h"
#include "id3v2/FileRewrite.h"
#include "id3v2/TemporaryName.h"
#include "inspect/GenreList.h"
#include "inspect/ID3.h"
#include "inspect/Id3v1Tag.h"
#include "inspect/Properties.h"
#include "inspect/Readout.h"
#include "platform/console/ConsolePlatform.h"
#include "platform/posix/PosixFileSystem.h"

namespace brindle::cli {

namespace {

using Json = nlohmann::ordered_json;

/// The services one component needs, for a program without windows.
struct Services {
  Services(platform::FileSystem& files, std::ostream& err) : fileSystem(files), dialogs(err) {}
  platform::FileSystem& fileSystem;
  platform::console::LocalClock clock;
  platform::console::ConsoleDialogs dialogs;

  inspect::ID3 component() { return inspect::ID3(fileSystem, clock, dialogs); }
};

Json propertyJson(const inspect::ID3& component, const inspect::Property& property) {
  return std::visit(
      [&](auto member) -> Json {
        using Value = std::decay_t<decltype(component.*member)>;
        if constexpr (std::is_same_v<Value, std::string>) {
          return component.*member;
        } else if constexpr (std::is_same_v<Value, bool>) {
          return static_cast<bool>(component.*member);
        } else {
          return static_cast<std::int64_t>(component.*member);
        }
      },
      property.member);
}

/// One line of the text output of read and wav: "Name=" and the member
/// that holds the value.
struct PropertyLine {
  std::string prefix;
  decltype(inspect::Property::member) member;
};

/// The lines of every file, worked out once: wav has the WAV properties only.
struct PropertyLines {
  explicit PropertyLines(bool wavOnly) {
    for (const inspect::Property& property : inspect::id3Properties()) {
      if (wavOnly && !inspect::isWavProperty(property)) continue;
      lines.push_back({std::string(property.name) + '=', property.member});
      // The name, the newline and the most a number or a flag takes; a
      // text's length is added per file.
      fixedRoom += lines.back().prefix.size() + 1 + kMostDigits;
    }
  }

  static constexpr std::size_t kMostDigits = 20;
  std::vector<PropertyLine> lines;
  std::size_t fixedRoom = 0;
};

char* copyTo(char* at, std::string_view bytes) {
  std::memcpy(at, bytes.data(), bytes.size());
  return at + bytes.size();
}

/// Adds "Name=value" lines of one file to `out`: texts as they are, flags as
/// true/false, numbers in decimal. The room for them is made at once and the
/// bytes copied in, instead of growing the text piece by piece.
void appendPropertyLines(const inspect::ID3& component, const PropertyLines& properties,
                         std::string& out) {
  std::size_t room = properties.fixedRoom;
  for (const PropertyLine& line : properties.lines) {
    if (const auto* text = std::get_if<std::string inspect::ID3::*>(&line.member))
      room += (component.**text).size();
  }
  const std::size_t start = out.size();
  out.resize(start + room);
  char* at = out.data() + start;
  for (const PropertyLine& line : properties.lines) {
    at = copyTo(at, line.prefix);
    std::visit(
        [&](auto member) {
          using Value = std::decay_t<decltype(component.*member)>;
          if constexpr (std::is_same_v<Value, std::string>) {
            at = copyTo(at, component.*member);
          } else if constexpr (std::is_same_v<Value, bool>) {
            at = copyTo(at,
                        component.*member ? std::string_view("true") : std::string_view("false"));
          } else {
            at = std::to_chars(at, at + PropertyLines::kMostDigits,
                               static_cast<std::int64_t>(component.*member))
                     .ptr;
          }
        },
        line.member);
    *at++ = '\n';
  }
  out.resize(static_cast<std::size_t>(at - out.data()));
}

/// The chosen properties of one file as a JSON object.
Json propertiesJson(const inspect::ID3& component, bool wavOnly) {
  Json object = Json::object();
  for (const inspect::Property& property : inspect::id3Properties()) {
    if (wavOnly && !inspect::isWavProperty(property)) continue;
    object[property.name] = propertyJson(component, property);
  }
  return object;
}

/// Says why a file could not be read (missing, a folder, a FIFO or device,
/// no permission), after a read that failed; opening never waits on a FIFO.
/// A tag that is damaged is no failure of the read.
bool reportUnreadable(const platform::Status& read, const std::string& file, std::ostream& err) {
  if (read) return false;
  const platform::Error& error = read.error();
  err << "brindle-cli: cannot read \"" << file
      << "\": " << (error.code != 0 ? std::strerror(error.code) : error.message) << '\n';
  return true;
}

/// For the commands that change files: a path that names nothing is
/// reported here; anything else the component refuses with its reason (a
/// folder, a FIFO, a file that is not MPEG audio).
bool reportMissing(Services& services, const std::string& file, std::ostream& err) {
  auto kind = services.fileSystem.kindOf(file);
  if (kind) return false;
  err << "brindle-cli: cannot read \"" << file << "\": " << std::strerror(kind.error().code)
      << '\n';
  return true;
}

/// A file that was not saved: "Error: 10" as the component's Error event
/// says it, then the file and the reason.
void reportFailure(const std::string& file, const std::string& reason, ExitCode& status,
                   std::ostream& err) {
  err << "Error: " << inspect::ID3::kWriteFailed << '\n';
  err << "brindle-cli: " << file << ": " << reason << '\n';
  status = kFailed;
}

/// Leftovers of killed saves are finished once per folder, not per file.
void finishAbandonedSaves(platform::FileSystem& fileSystem, const std::vector<std::string>& files) {
  std::set<std::string> given;
  std::set<std::string> folders;
  for (const std::string& file : files) {
    // Most files share the folder they were named in: that folder is
    // resolved once.
    if (!given.insert(id3v2::folderPart(file)).second) continue;
    auto resolved = fileSystem.resolvedPath(file);
    const std::string& path = resolved ? resolved.value() : file;
    if (folders.insert(id3v2::folderPart(path)).second) {
      id3v2::finishAbandonedSavesBeside(fileSystem, path);
    }
  }
}

/// Writes the planned changes as one batch and reports each file that
/// failed under the name the user gave (`givenNames`, one per change).
ExitCode applyBatch(history::History* history, platform::FileSystem& fileSystem,
                    const std::string& command, const std::vector<id3v2::TagChange>& changes,
                    const std::vector<std::string>& givenNames, const std::atomic<bool>* stop,
                    ExitCode status, std::ostream& err) {
  if (changes.empty()) return status;
  std::size_t next = 0;
  auto results = history::runTagBatch(
      history, fileSystem, command, changes, stop, [&](const history::FileResult& result) {
        // Files are reported in the order of the changes.
        const std::string& given = next < givenNames.size() ? givenNames[next] : result.path;
        ++next;
        if (!result.changed) reportFailure(given, result.reason, status, err);
      });
  if (!results) {
    err << "brindle-cli: " << results.error().message << '\n';
    return kFailed;
  }
  if (stop && stop->load()) {
    err << "brindle-cli: stopped; the files saved so far stay saved\n";
    return kFailed;
  }
  return status;
}

struct FileList {
  std::vector<std::string> files;
  bool json = false;
};

std::shared_ptr<FileList> declareFiles(CLI::App& command, bool withJson) {
  auto options = std::make_shared<FileList>();
  if (withJson)
    command.add_flag("--json", options->json, "Print one JSON array, one object per file");
  command.add_option("FILE", options->files, "The files to read")->required();
  return options;
}

/// What reading a run of files gave: their lines, the messages about those
/// that could not be read, and whether there was one.
struct ReadRun {
  std::string lines;
  std::string messages;
  bool failed = false;
};

/// Reads `files` with a component and file system of its own (so that runs
/// can go side by side) into `run`: a blank line before each file, unless
/// `first` and it is the first.
void readRun(std::span<const std::string> files, bool wav, const PropertyLines& propertyLines,
             bool first, ReadRun& run) {
  ReadingFileSystem readingFileSystem;
  std::ostringstream messages;
  Services services(readingFileSystem, messages);
  // One component for every file: its strings keep their buffers.
  inspect::ID3 component = services.component();
  // Room made once: a text that grew by doubling would be copied, and
  // touch fresh memory, at each step.
  run.lines.reserve(files.size() * 1100);
  for (const std::string& file : files) {
    // One opening per file: the read itself says when the file cannot be
    // opened.
    const platform::Status read = wav ? component.ReadWAV(file) : component.ReadID3(file);
    if (reportUnreadable(read, file, messages)) run.failed = true;
    if (!first) run.lines += '\n';
    first = false;
    appendPropertyLines(component, propertyLines, run.lines);
  }
  run.messages = messages.str();
}

/// How many threads read or plan side by side: one per processor, at most four,
/// and one for a few files (starting a thread costs more than they take).
unsigned workerThreads(std::size_t files) {
  constexpr std::size_t kFilesPerThread = 64;
  const unsigned processors = std::max(1u, std::thread::hardware_concurrency());
  return static_cast<unsigned>(
      std::clamp<std::size_t>(files / kFilesPerThread, 1, std::min(processors, 4u)));
}

/// Gives each of `threads` shares of `files`, in order, to `work(index,
/// share)`: the first on this thread, the others on threads of their own.
/// Returns when every share is done.
template <class Work>
void workSideBySide(std::span<const std::string> files, unsigned threads, const Work& work) {
  const auto part = [&](unsigned index) {
    const std::size_t from = files.size() * index / threads;
    const std::size_t to = files.size() * (index + 1) / threads;
    work(index, files.subspan(from, to - from));
  };
  std::vector<std::jthread> helpers;
  helpers.reserve(threads - 1);
  for (unsigned index = 1; index < threads; ++index) helpers.emplace_back(part, index);
  part(0);
}

/// The name=value lines of every file, read in rounds of a bounded number
/// of files, each round shared among the threads and printed in the order
/// the files were given.
ExitCode readAllAsLines(const std::vector<std::string>& files, bool wav, std::ostream& out,
                        std::ostream& err) {
  constexpr std::size_t kFilesPerRound = 4096;
  const PropertyLines propertyLines(wav);
  const std::span<const std::string> all(files);
  ExitCode status = kSuccess;
  for (std::size_t start = 0; start < all.size(); start += kFilesPerRound) {
    const std::span<const std::string> round =
        all.subspan(start, std::min(kFilesPerRound, all.size() - start));
    const unsigned threads = workerThreads(round.size());
    std::vector<ReadRun> runs(threads);
    workSideBySide(round, threads, [&](unsigned index, std::span<const std::string> share) {
      const bool first = start == 0 && index == 0;
      readRun(share, wav, propertyLines, first, runs[index]);
    });
    for (const ReadRun& run : runs) {
      err << run.messages;
      out.write(run.lines.data(), static_cast<std::streamsize>(run.lines.size()));
      if (run.failed) status = kFailed;
    }
  }
  return status;
}

ExitCode readAll(const FileList& options, bool wav, std::ostream& out, std::ostream& err) {
  if (!options.json) return readAllAsLines(options.files, wav, out, err);
  ReadingFileSystem readingFileSystem;
  Services services(readingFileSystem, err);
  inspect::ID3 component = services.component();
  Json all = Json::array();
  ExitCode status = kSuccess;
  for (const std::string& file : options.files) {
    const platform::Status read = wav ? component.ReadWAV(file) : component.ReadID3(file);
    if (reportUnreadable(read, file, err)) status = kFailed;
    all.push_back(propertiesJson(component, wav));
  }
  // File names need not be UTF-8: such bytes are shown as U+FFFD.
  out << all.dump(2, ' ', false, Json::error_handler_t::replace) << '\n';
  return status;
}

}  // namespace

Action defineRead(CLI::App& command, std::ostream& out, std::ostream& err) {
  command.footer(
      "Prints every property of the inspection component after reading each MP3 file:\n"
      "both tags (texts as Unicode) and the MPEG data: version, layer, bit rate (\"VBR \"\n"
      "and the average for a variable bit rate), frames, encoder delay, audio bytes and\n"
      "the length in milliseconds.\n"
      "Example: brindle-cli read --json song.mp3 other.mp3");
  auto options = declareFiles(command, true);
  return [options, &out, &err] { return readAll(*options, false, out, err); };
}

Action defineWav(CLI::App& command, std::ostream& out, std::ostream& err) {
  command.footer(
      "Prints the WAV properties (length, bit rate, frequency, channels, bits, sample\n"
      "format) of each file.\n"
      "Example: brindle-cli wav take1.wav");
  auto options = declareFiles(command, true);
  return [options, &out, &err] { return readAll(*options, true, out, err); };
}

Action defineInfo(CLI::App& command, std::ostream& out, std::ostream& err) {
  command.footer(
      "Prints the technical readout of the tag editor: eleven lines for a .mp3 file, six for\n"
      "a .wav file (the ending decides, in lower or upper case).\n"
      "Example: brindle-cli info song.mp3");
  auto options = declareFiles(command, false);
  return [options, &out, &err]() -> ExitCode {
    ReadingFileSystem readingFileSystem;
    Services services(readingFileSystem, err);
    ExitCode status = kSuccess;
    bool first = true;
    // The readouts are written in large pieces rather than line by line,
    // and before any message about a file.
    std::string text;
    const auto flush = [&] {
      out.write(text.data(), static_cast<std::streamsize>(text.size()));
      text.clear();
    };
    for (const std::string& file : options->files) {
      const inspect::ReadoutKind kind = inspect::readoutKindFor(file);
      if (kind == inspect::ReadoutKind::None) {
        flush();
        err << inspect::kSelectMp3OrWav << '\n';
        return kUsage;
      }
      inspect::ID3 component = services.component();
      const bool mp3 = kind == inspect::ReadoutKind::Mp3;
      const platform::Status read = mp3 ? component.ReadID3(file) : component.ReadWAV(file);
      // The readouts before a failure are written before its message.
      if (!read) flush();
      if (reportUnreadable(read, file, err)) {
        status = kFailed;
        continue;
      }
      const std::vector<std::string> lines =
          mp3 ? inspect::mp3Readout(component) : inspect::wavReadout(component);
      if (!first) text += '\n';
      first = false;
      for (const std::string& line : lines) {
        text += line;
        text += '\n';
      }
      if (text.size() >= 1 << 16) flush();
    }
    flush();
    return status;
  };
}

Action defineWrite(CLI::App& command, std::ostream& out, std::ostream& err) {
  command.footer(
      "Reads each FILE, sets the named tag fields and saves both tags, as the tag editor's\n"
      "Save does; every field not named keeps what was read. NAME is a property name such as\n"
      "TAGv2Title or TAGv1Artist; TAGv1Genre takes a genre number 0-255 (255: none). All files\n"
      "are saved as one batch: a file that fails is reported and the others are saved.\n"
      "Example: brindle-cli write song.mp3 other.mp3 --set TAGv2Title=\"Harbour Lights\" --set "
      "TAGv1Genre=17");
  struct Options {
    std::vector<std::string> files;
    std::vector<std::string> assignments;
  };
  auto options = std::make_shared<Options>();
  command.add_option("FILE", options->files, "The MP3 files to change")->required();
  command.add_option("--set", options->assignments, "NAME=VALUE: a field to change")
      ->type_name("NAME=VALUE");
  return [options, &out, &err]() -> ExitCode {
    (void)out;
    platform::posix::PosixFileSystem posixFileSystem;
    auto history = openChangeHistory(posixFileSystem, err);
    if (!history) {
      err << "brindle-cli: " << history.error().message << '\n';
      return kFailed;
    }
    const StopOnSignals stop;
    return writeTags(posixFileSystem, options->files, options->assignments, err,
                     history.value().get(), &stop.requested());
  };
}

Action defineRemoveV2(CLI::App& command, std::ostream& out, std::ostream& err) {
  command.footer(
      "Removes the ID3 version 2 tag from each file; the version 1 tag stays.\n"
      "Example: brindle-cli remove-v2 song.mp3");
  auto options = declareFiles(command, false);
  return [options, &out, &err]() -> ExitCode {
    (void)out;
    platform::posix::PosixFileSystem posixFileSystem;
    auto history = openChangeHistory(posixFileSystem, err);
    if (!history) {
      err << "brindle-cli: " << history.error().message << '\n';
      return kFailed;
    }
    const StopOnSignals stop;
    return removeVersion2Tags(posixFileSystem, options->files, err, history.value().get(),
                              &stop.requested());
  };
}

/// Plans one file's change through its component; nothing when the file
/// needs none.
using PlanFile = std::function<platform::Result<std::optional<id3v2::TagChange>>(
    inspect::ID3& component, const std::string& file)>;

/// What planning a share of the files gave: the changes with the names the
/// user gave them, the messages about the files that could not be planned,
/// and whether there was one.
struct PlannedShare {
  std::vector<id3v2::TagChange> changes;
  std::vector<std::string> givenNames;
  std::string messages;
  ExitCode status = kSuccess;
};

/// Plans `files` one after the other with services of their own, so that
/// shares can be planned side by side; a file that is missing or cannot be
/// planned is reported and the rest go on.
void planShare(platform::FileSystem& fileSystem, std::span<const std::string> files,
               const std::atomic<bool>* stop, const PlanFile& plan, PlannedShare& share) {
  std::ostringstream messages;
  Services services(fileSystem, messages);
  for (const std::string& file : files) {
    if (stop && stop->load()) break;
    if (reportMissing(services, file, messages)) {
      share.status = kFailed;
      continue;
    }
    inspect::ID3 component = services.component();
    auto planned = plan(component, file);
    if (!planned) {
      reportFailure(file, planned.error().message, share.status, messages);
      continue;
    }
    if (planned.value()) {
      share.changes.push_back(std::move(*planned.value()));
      share.givenNames.push_back(file);
    }
  }
  share.messages = messages.str();
}

/// Plans every file, on several threads when the file system allows it and
/// there are many, then writes the changes as one batch named `command`.
/// Messages and changes keep the order the files were given.
ExitCode planAndApply(platform::FileSystem& fileSystem, const std::vector<std::string>& files,
                      std::ostream& err, history::History* history, const std::atomic<bool>* stop,
                      const std::string& command, const PlanFile& plan) {
  finishAbandonedSaves(fileSystem, files);
  const std::span<const std::string> all(files);
  const unsigned threads = fileSystem.usableFromManyThreads() ? workerThreads(all.size()) : 1;
  std::vector<PlannedShare> shares(threads);
  workSideBySide(all, threads, [&](unsigned index, std::span<const std::string> share) {
    planShare(fileSystem, share, stop, plan, shares[index]);
  });
  ExitCode status = kSuccess;
  std::vector<id3v2::TagChange> changes;
  std::vector<std::string> givenNames;
  for (PlannedShare& share : shares) {
    err << share.messages;
    if (share.status != kSuccess) status = share.status;
    std::move(share.changes.begin(), share.changes.end(), std::back_inserter(changes));
    std::move(share.givenNames.begin(), share.givenNames.end(), std::back_inserter(givenNames));
  }
  return applyBatch(history, fileSystem, command, changes, givenNames, stop, status, err);
}

ExitCode writeTags(platform::FileSystem& fileSystem, const std::vector<std::string>& files,
                   const std::vector<std::string>& assignmentTexts, std::ostream& err,
                   history::History* history, const std::atomic<bool>* stop) {
  // Every assignment is checked before any file is touched.
  struct Assignment {
    const inspect::Property* property;
    std::string value;
  };
  std::vector<Assignment> assignments;
  for (const std::string& text : assignmentTexts) {
    const std::size_t equals = text.find('=');
    const std::string name = text.substr(0, equals);
    const inspect::Property* property = inspect::findProperty(name);
    if (equals == std::string::npos || !property || !property->writable()) {
      err << "brindle-cli: --set " << text
          << ": expected NAME=VALUE with NAME a tag field such as TAGv2Title or TAGv1Genre\n";
      return kUsage;
    }
    std::string value = text.substr(equals + 1);
    if (name == "TAGv1Genre") {
      int number = -1;
      try {
        std::size_t used = 0;
        number = std::stoi(value, &used);
        if (used != value.size()) number = -1;
      } catch (const std::exception&) {
        number = -1;
      }
      if (number < 0 || number > 255) {
        err << "brindle-cli: --set TAGv1Genre takes a genre number from 0 to 255, not \"" << value
            << "\"\n";
        return kUsage;
      }
      value = inspect::genreText(number);
    }
    assignments.push_back({property, value});
  }

  return planAndApply(
      fileSystem, files, err, history, stop, "brindle-cli write",
      [&](inspect::ID3& component,
          const std::string& file) -> platform::Result<std::optional<id3v2::TagChange>> {
        component.ReadID3(file);
        // As the tag editor does: a number the genre list does not name is
        // its blank entry.
        const int genre = component.TAGv1GenreIndex;
        component.TAGv1Genre =
            inspect::genreText(inspect::isListedGenre(genre) ? genre : inspect::kNoGenre);
        for (const Assignment& assignment : assignments) {
          component.*assignment.property->text() = assignment.value;
        }
        auto planned = component.planSave();
        if (!planned) return planned.error();
        return std::optional<id3v2::TagChange>(std::move(planned.value()));
      });
}

ExitCode removeVersion2Tags(platform::FileSystem& fileSystem, const std::vector<std::string>& files,
                            std::ostream& err, history::History* history,
                            const std::atomic<bool>* stop) {
  return planAndApply(fileSystem, files, err, history, stop, "brindle-cli remove-v2",
                      [](inspect::ID3& component, const std::string& file) {
                        component.FileName = file;
                        return component.planRemoval();
                      });
}

}  // namespace brindle::cli
