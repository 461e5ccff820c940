// Hands a finished print file to the CUPS spooler through its `lp`
// command, started directly (posix_spawn, no shell): the printer name, the
// title and the file reach it as single arguments and are never
// interpreted.
#pragma once

#include <string>

namespace lumo::print {

// Whether CUPS accepts the name: 1 to 127 bytes, no control characters,
// blanks, '/', '\\', '#', quotes, and no leading '-'.
bool IsValidPrinterName(const std::string& name);

// Runs `program -d PRINTER -t TITLE FILE` (program looked up along PATH
// when it holds no '/'), with standard input from /dev/null, and waits for
// it. 'file' must be an absolute path. True when it exits with status 0;
// otherwise 'error' says why. Control characters of the title become blanks
// and it is cut at 255 bytes.
bool SubmitPrintFile(const std::string& program, const std::string& printer, const std::string& title,
                     const std::string& file, std::string& error);

} // namespace lumo::print
