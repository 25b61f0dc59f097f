// The peer of the save benchmark: another tag library doing the same save as
// `brindle-cli write FILE... --set TAGv2Title=TITLE`, in one process, so that
// scripts/bench-saves.py can time both side by side.
//
// Usage: taglib_save_peer TITLE FILE...
#include <taglib/id3v2tag.h>
#include <taglib/mpegfile.h>
#include <taglib/tstring.h>

#include <cstdio>

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: taglib_save_peer TITLE FILE...\n");
    return 2;
  }
  const TagLib::String title(argv[1], TagLib::String::UTF8);
  int failed = 0;
  for (int i = 2; i < argc; ++i) {
    TagLib::MPEG::File file(argv[i]);
    if (!file.isValid()) {
      ++failed;
      continue;
    }
    file.ID3v2Tag(true)->setTitle(title);
    if (!file.save()) ++failed;
  }
  return failed == 0 ? 0 : 1;
}
