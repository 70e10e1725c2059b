#pragma once

#include <cstddef>
#include <string>
#include <vector>

// Reads a whole data file (path written with backslashes) into memory. Only a regular file of
// at most pLimit bytes is read: a FIFO or a device would block start-up, and a huge file is
// not data the game made. False, with one line naming the file and the fault, otherwise.
bool ReadDataFile(const char* pPath, size_t pLimit, std::vector<unsigned char>& pBytes, std::string& pWhy);

// The same for any file the player names (the path as given), read as text; the reason names
// the fault alone ("a folder, not a file", "not a regular file", "too large (over N bytes)",
// "cannot read it: ..."), for the caller to put after the path.
bool ReadRegularFile(const std::string& pPath, size_t pLimit, std::string& pText, std::string& pWhy);

// The most any one media file may take; the game's own are well under a megabyte.
constexpr size_t MEDIA_FILE_LIMIT = size_t(64) << 20;
