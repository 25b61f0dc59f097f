#include "id3v2/FileRewrite.h"

#include <cerrno>
#include <memory>
#include <optional>
#include <set>

#include "id3v2/Failure.h"
#include "id3v2/InPlaceWrite.h"
#include "id3v2/TemporaryName.h"

namespace brindle::id3v2 {

namespace {

/// How many more random names are tried when one is taken.
constexpr int kNameTries = 8;

}  // namespace

PendingReplacements::~PendingReplacements() {
  for (Waiting& waiting : m_waiting) {
    waiting.file.reset();
    (void)m_fileSystem.remove(waiting.temporary);
  }
}

void PendingReplacements::add(std::string temporary, std::string path,
                              std::unique_ptr<platform::WritableFile> file) {
  m_waiting.push_back({std::move(temporary), std::move(path), std::move(file)});
}

std::vector<platform::Status> PendingReplacements::putInPlace() {
  std::vector<platform::Status> outcomes;
  outcomes.reserve(m_waiting.size());
  // One flush per folder (nearly always one file system): every new file's
  // bytes are on the disk before any of them takes an old one's name.
  std::set<std::string> flushed;
  std::optional<platform::Error> unflushed;
  for (const Waiting& waiting : m_waiting) {
    if (!flushed.insert(folderPart(waiting.temporary)).second) continue;
    if (platform::Status step = m_fileSystem.syncFileSystemOf(waiting.temporary); !step) {
      unflushed = step.error();
    }
  }
  for (Waiting& waiting : m_waiting) {
    platform::Status outcome = [&]() -> platform::Status {
      if (unflushed) return causedBy("cannot flush the new file to the disk", *unflushed);
      if (platform::Status step = waiting.file->close(); !step) {
        return causedBy("cannot close the new file", step.error());
      }
      if (platform::Status step = m_fileSystem.replaceFile(waiting.temporary, waiting.path);
          !step) {
        return causedBy("cannot put the new file in place of the old one", step.error());
      }
      return {};
    }();
    waiting.file.reset();
    if (!outcome) (void)m_fileSystem.remove(waiting.temporary);
    outcomes.push_back(std::move(outcome));
  }
  m_waiting.clear();
  return outcomes;
}

platform::Status replaceThroughTemporary(platform::FileSystem& fileSystem, const std::string& path,
                                         platform::ReadableFile& source, const ByteVector& head,
                                         std::uint64_t keepFrom, std::uint64_t keepLength,
                                         const ByteVector& tail, PendingReplacements* pending) {
  auto permissions = fileSystem.permissions(path);
  if (!permissions) return causedBy("cannot read the file's permissions", permissions.error());
  // The setuid and setgid bits come only with the owner (copyMetadata()):
  // never a moment with this user's privileges on another user's program.
  const unsigned plainPermissions = permissions.value() & 0777u;
  // The temporary file never replaces anything: a new random name is tried
  // when one is taken.
  std::string temporary = temporaryNameBeside(path);
  platform::Result<std::unique_ptr<platform::WritableFile>> target =
      fileSystem.createNewFile(temporary, plainPermissions);
  for (int attempt = 0; !target && target.error().code == EEXIST && attempt < kNameTries;
       ++attempt) {
    temporary = temporaryNameBeside(path);
    target = fileSystem.createNewFile(temporary, plainPermissions);
  }
  if (!target) return causedBy("cannot create a temporary file beside it", target.error());

  platform::WritableFile& out = *target.value();
  bool replaced = false;
  platform::Status written = [&]() -> platform::Status {
    if (platform::Status step = out.write(head); !step) {
      return causedBy("cannot write the new tag", step.error());
    }
    if (platform::Status step = out.copyFrom(source, keepFrom, keepLength); !step) {
      return causedBy("cannot copy the audio into the new file", step.error());
    }
    if (!tail.empty()) {
      if (platform::Status step = out.write(tail); !step) {
        return causedBy("cannot write the ID3v1 tag", step.error());
      }
    }
    if (platform::Status step = fileSystem.copyMetadata(path, temporary); !step) {
      return causedBy("cannot give the new file the owner and attributes of the old one",
                      step.error());
    }
    if (pending) {
      out.startWritingBack();
      pending->add(temporary, path, std::move(target.value()));
      return {};
    }
    if (platform::Status step = out.sync(); !step) {
      return causedBy("cannot flush the new file to the disk", step.error());
    }
    if (platform::Status step = out.close(); !step) {
      return causedBy("cannot close the new file", step.error());
    }
    if (platform::Status step = fileSystem.replaceFile(temporary, path); !step) {
      return causedBy("cannot put the new file in place of the old one", step.error());
    }
    replaced = true;
    // The rename is only durable once the folder is on the disk too.
    if (platform::Status step = fileSystem.syncDirectoryOf(path); !step) {
      return causedBy("the file was saved but its folder could not be flushed to the disk",
                      step.error());
    }
    return {};
  }();
  if (!written && !replaced) {
    target.value().reset();
    (void)fileSystem.remove(temporary);
  }
  return written;
}

void finishAbandonedSavesBeside(platform::FileSystem& fileSystem, const std::string& path) {
  const std::string folder = folderPart(path);
  auto listing = fileSystem.listDirectory(folder.empty() ? "." : folder);
  if (!listing) return;
  for (const std::string& name : listing.value().files) {
    if (isUndoName(name)) undoAbandoned(fileSystem, folder + name);
  }
  for (const std::string& name : listing.value().files) {
    if (isTemporaryName(name)) (void)fileSystem.removeIfAbandoned(folder + name);
  }
}

}  // namespace brindle::id3v2
