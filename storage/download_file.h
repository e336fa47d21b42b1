#pragma once
// The download of one PC file into the running machine: the file's extension
// picks the device folder (".bin", ".txt", ".bas", ".ski"), and ".fls"
// replaces the whole flash image.
#include <string>

#include "machine/machine.h"
#include "storage/flash_file_system.h"

namespace rq4800 {

DownloadResult DownloadFile(Machine& machine, const std::string& path);

}  // namespace rq4800
