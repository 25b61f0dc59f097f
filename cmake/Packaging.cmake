# `cpack -G DEB` in a build folder makes brindle_<version>_<arch>.deb from what
# `cmake --install` installs (prefix /usr). Its Depends line is worked out by
# dpkg-shlibdeps from the libraries the programs link (Qt 6, the C++ runtime).
set(CPACK_PACKAGE_NAME "brindle")
set(CPACK_PACKAGE_VENDOR "The Brindle developers")
set(CPACK_PACKAGE_CONTACT "The Brindle developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "batch-rename and list files, edit the tags of MP3 files")
set(CPACK_PACKAGE_DESCRIPTION
    "Brindle is a desktop utility for people who keep folders of files and music: it renames,\
 lists and manages many files at once and edits the ID3 version 1 and 2 tags of MP3 files.\
 brindle-cli drives the same core from scripts.")
set(CPACK_RESOURCE_FILE_LICENSE "${PROJECT_SOURCE_DIR}/LICENSE")
set(CPACK_PACKAGE_CHECKSUM SHA256)
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR "DEB")

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION "utils")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)

include(CPack)
