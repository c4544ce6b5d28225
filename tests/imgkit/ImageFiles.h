#pragma once
// Reading whole files of an opened image in the tests.
#include <string>

#include "dsk/DSK_Directory.h"
#include "dsk/DSK_File.h"
#include "dsk/DSK_FileBuffer.h"

namespace imgkit {

// The whole contents of a file of the directory (std::runtime_error when missing).
std::string ReadWhole(const dsk::Directory_t& dir, const std::string& name);

}  // namespace imgkit
