// The version this program file carries, read back by GetFileVersion (shown in the main window).
#include "windows/shell/file_version.h"

extern "C" {
__attribute__((used, section(".barqeen_version")))
const barqeen::VersionRecord barqeenVersionRecord = {barqeen::kVersionMagic, BARQEEN_VERSION_MAJOR,
                                                      BARQEEN_VERSION_MINOR, BARQEEN_VERSION_PATCH,
                                                      BARQEEN_VERSION_TWEAK};
}
