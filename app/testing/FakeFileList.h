// A stand-in for the main window's file list: fixed names and selection, and
// a record of what a command did to the progress bar and the list.
#pragma once

#include <string>
#include <vector>

#include "ui/core/FileListHost.h"

namespace brindle::app {

class FakeFileList : public ui::FileListHost {
 public:
  FakeFileList(std::string directory, std::vector<std::string> names)
      : directory(std::move(directory)), names(std::move(names)) {
    selected.assign(this->names.size(), false);
    pathBox = this->directory;
  }

  std::string currentDirectory() const override { return directory; }
  std::string pathBoxText() const override { return pathBox; }
  int entryCount() const override { return static_cast<int>(names.size()); }
  std::string entryName(int index) const override {
    return names.at(static_cast<std::size_t>(index));
  }
  std::vector<bool> selectionFlags() const override {
    ++selectionReads;
    return selected;
  }
  std::string currentName() const override {
    return current < 0 ? std::string() : names.at(static_cast<std::size_t>(current));
  }
  void setProgressMaximum(int maximum) override {
    progress.push_back("max " + std::to_string(maximum));
  }
  void setProgressValue(int value) override {
    progress.push_back("value " + std::to_string(value));
  }
  void rereadFileList() override { ++rereads; }

  std::string directory;
  std::string pathBox;
  std::vector<std::string> names;
  std::vector<bool> selected;
  int current = -1;

  mutable int selectionReads = 0;
  /// "max <n>" and "value <n>" in the order the command set them.
  std::vector<std::string> progress;
  int rereads = 0;
};

}  // namespace brindle::app
