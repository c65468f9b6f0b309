#pragma once
// What an open ZipReader holds; shared by its listing and extraction halves.
#include <vector>

#include "platform/zip/zip_directory.h"
#include "platform/zip/zip_file.h"
#include "platform/zip/zip_reader.h"

namespace ardmoor::zip {

struct ZipReader::State {
    detail::InputFile file;
    detail::Directory directory;
    std::vector<unsigned char> inBuffer, outBuffer;  // kept between entries
};

}  // namespace ardmoor::zip
