// "ff:TEXT": the file search as typed on the host's command line, results printed.
#pragma once

#include "host/host.h"
#include "options.h"

namespace program {

// True for a command this file handles (it begins with "ff:", in any case).
bool IsFindCommand(const std::string& command);
// Exit status: 0 files listed, 1 the results panel opened empty, 2 no panel or an error.
int RunFindCommand(const Options& options);

// How the list of found files is written: each name as it is with a NUL after it (-0);
// one name per line with its control bytes escaped (on a terminal); one name per line as
// it is (for scripts; a name holding a line feed is pointed out on stderr).
enum class ListFormat { kNulSeparated, kEscapedLines, kLines };
ListFormat ChooseListFormat(bool nulSeparated);
// Writes the full path of each entry of the panel but ".."; false when standard output
// cannot be written.
bool PrintResults(const host::Panel& panel, ListFormat format, int* printed);
// Prints the panel's results: the status listed when there was at least one, empty when
// there was none, 2 when they could not be written (said on stderr).
int PrintResultsStatus(const host::Panel& panel, bool nulSeparated, int listed, int empty);

}  // namespace program
