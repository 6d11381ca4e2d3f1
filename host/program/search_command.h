// "quarix search": the file search from the plugins menu, with the search dialog's fields
// filled from the command line as a user would type them; the results are printed.
#pragma once

namespace program {

// argv holds the words after "search". Exit status: 0 files listed, 1 the results panel
// opened empty, 2 no panel, an error, or a command line that cannot be understood.
int RunSearchCommand(int argc, char** argv);

}  // namespace program
