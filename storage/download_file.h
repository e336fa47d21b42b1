#pragma once
// The download of one PC file into the running machine: the file's extension
// picks the device folder (".bin", ".txt", ".bas", ".ski"), and ".fls"
// replaces the whole flash image.
//
// The file is read only when it is a regular file (core/file_io.h); one that
// cannot be read gives kUnreadable and a problem line saying why. Nothing
// longer than the flash can be stored, so a longer file is not read at all
// and gets the answer its type would get for that length.
#include <cstddef>
#include <string>

#include "machine/machine.h"
#include "storage/flash_file_system.h"

namespace rq4800 {

constexpr size_t kMaxPcFileBytes = BusRQ4800::kFlashSize;

DownloadResult DownloadFile(Machine& machine, const std::string& path);

// The line a front end shows for one download: the result's message, how many
// characters a converted text lost, and the code of a refusal.
std::string DescribeDownloadResult(const DownloadResult& result);

}  // namespace rq4800
