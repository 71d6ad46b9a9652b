// Writing an output file of the datapack tool whole or not at all: the bytes
// go to a temporary file beside the target, which then replaces it, so a
// failed write never leaves half a picture where a good one stood.
// Any thread; touches only the files named.
#pragma once

#include <string>

namespace pack {

// False (and a message naming the path) when the file cannot be written.
bool output_file_write(const std::string& path, const std::string& bytes, std::string& error);

}  // namespace pack
