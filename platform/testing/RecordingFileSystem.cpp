#include "platform/testing/RecordingFileSystem.h"

namespace brindle::platform::testing {

void RecordingFileSystem::fail(FsOp op, Error error, std::optional<std::string> path, int times) {
  m_faults.push_back({op, std::move(error), std::move(path), times});
}

std::vector<FsCall> RecordingFileSystem::callsOf(FsOp op) const {
  std::vector<FsCall> result;
  for (const FsCall& call : m_calls)
    if (call.op == op) result.push_back(call);
  return result;
}

std::optional<Error> RecordingFileSystem::enter(FsOp op, const std::string& path,
                                                std::string second) {
  m_calls.push_back({op, path, std::move(second)});
  for (Fault& fault : m_faults) {
    if (fault.op != op || fault.remaining == 0) continue;
    if (fault.path && *fault.path != path) continue;
    if (fault.remaining > 0) --fault.remaining;
    return fault.error;
  }
  return std::nullopt;
}

Status RecordingFileSystem::renameNoReplace(const std::string& from, const std::string& to) {
  if (auto error = enter(FsOp::Rename, from, to)) return *error;
  return m_inner.renameNoReplace(from, to);
}

Status RecordingFileSystem::remove(const std::string& path) {
  if (auto error = enter(FsOp::Remove, path)) return *error;
  return m_inner.remove(path);
}

bool RecordingFileSystem::exists(const std::string& path) {
  if (enter(FsOp::Exists, path)) return false;
  return m_inner.exists(path);
}

bool RecordingFileSystem::isDirectory(const std::string& path) {
  if (enter(FsOp::IsDirectory, path)) return false;
  return m_inner.isDirectory(path);
}

Result<std::uint64_t> RecordingFileSystem::length(const std::string& path) {
  if (auto error = enter(FsOp::Length, path)) return *error;
  return m_inner.length(path);
}

Result<bool> RecordingFileSystem::isReadOnly(const std::string& path) {
  if (auto error = enter(FsOp::IsReadOnly, path)) return *error;
  return m_inner.isReadOnly(path);
}

Status RecordingFileSystem::setReadOnly(const std::string& path, bool readOnly) {
  if (auto error = enter(FsOp::SetReadOnly, path, readOnly ? "true" : "false")) return *error;
  return m_inner.setReadOnly(path, readOnly);
}

Result<DirectoryListing> RecordingFileSystem::listDirectory(const std::string& directory) {
  if (auto error = enter(FsOp::ListDirectory, directory)) return *error;
  return m_inner.listDirectory(directory);
}

std::vector<std::string> RecordingFileSystem::drives() {
  enter(FsOp::Drives, {});
  if (m_drives) return *m_drives;
  return m_inner.drives();
}

Result<std::string> RecordingFileSystem::readFile(const std::string& path) {
  if (auto error = enter(FsOp::ReadFile, path)) return *error;
  return m_inner.readFile(path);
}

Status RecordingFileSystem::writeFile(const std::string& path, const std::string& bytes,
                                      WriteMode mode) {
  if (auto error = enter(FsOp::WriteFile, path, bytes)) return *error;
  return m_inner.writeFile(path, bytes, mode);
}

}  // namespace brindle::platform::testing
