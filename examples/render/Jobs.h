// The work of one x3d-render run: documents with their image files and
// sizes, from the command line or from a list file.
#pragma once

#include <istream>
#include <string>
#include <vector>

namespace x3drender {

struct Job {
    std::string input;
    std::string output;
    int width = 0;  // 0: the run's size
    int height = 0;
    int line = 0; // in the list file, for messages
};

// Reads "INPUT OUTPUT [WIDTHxHEIGHT]" lines: blanks separate the words, a
// word may be quoted with double quotes (for names with blanks), empty lines
// and lines starting with '#' are skipped. Lines longer than 64 KiB, and
// more than a million jobs, are refused. False, with 'error' saying which
// line and why, on the first bad line.
bool ReadJobList(std::istream& in, std::vector<Job>& jobs, std::string& error);

// "800x600" with both in 1..16384; false otherwise.
bool ParseSize(const std::string& text, int& width, int& height);

} // namespace x3drender
