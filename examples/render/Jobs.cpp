#include "examples/render/Jobs.h"

#include <cstdio>

namespace x3drender {

namespace {

const size_t kMaxLine = 64 * 1024;
const size_t kMaxJobs = 1000000;

// The words of a line: runs of non-blanks, or text in double quotes.
bool SplitWords(const std::string& line, std::vector<std::string>& words)
{
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t' || line[i] == '\r'))
            ++i;
        if (i >= line.size())
            break;
        std::string word;
        if (line[i] == '"') {
            size_t close = line.find('"', i + 1);
            if (close == std::string::npos)
                return false;
            word = line.substr(i + 1, close - i - 1);
            i = close + 1;
        } else {
            while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r')
                word += line[i++];
        }
        words.push_back(word);
    }
    return true;
}

} // namespace

bool ParseSize(const std::string& text, int& width, int& height)
{
    int w = 0, h = 0;
    char tail = 0;
    if (std::sscanf(text.c_str(), "%dx%d%c", &w, &h, &tail) != 2 || w < 1 || h < 1 || w > 16384 || h > 16384)
        return false;
    width = w;
    height = h;
    return true;
}

bool ReadJobList(std::istream& in, std::vector<Job>& jobs, std::string& error)
{
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        auto where = [&] { return "line " + std::to_string(number) + ": "; };
        if (line.size() > kMaxLine) {
            error = where() + "longer than " + std::to_string(kMaxLine) + " characters";
            return false;
        }
        std::vector<std::string> words;
        if (!SplitWords(line, words)) {
            error = where() + "a quote is not closed";
            return false;
        }
        if (words.empty() || words[0][0] == '#')
            continue;
        if (words.size() < 2 || words.size() > 3) {
            error = where() + "expected INPUT OUTPUT [WIDTHxHEIGHT]";
            return false;
        }
        Job job;
        job.input = words[0];
        job.output = words[1];
        job.line = number;
        if (words.size() == 3 && !ParseSize(words[2], job.width, job.height)) {
            error = where() + "bad size '" + words[2] + "' (expected WIDTHxHEIGHT, each 1 to 16384)";
            return false;
        }
        if (jobs.size() >= kMaxJobs) {
            error = where() + "more than " + std::to_string(kMaxJobs) + " documents";
            return false;
        }
        jobs.push_back(job);
    }
    return true;
}

} // namespace x3drender
