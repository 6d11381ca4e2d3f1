// "quarix replace": Trawlix's replace across files from the plugins menu, with the
// replace dialog's fields filled from the command line as a user would type them.
#pragma once

namespace program {

// argv holds the words after "replace". Exit status: 0 the replace ran (and, with the
// list on, listed a file), 1 the list is on and no file was rewritten, 2 an error, a
// refusal, a cancelled dialog or a command line that cannot be understood.
int RunReplaceFilesCommand(int argc, char** argv);

}  // namespace program
