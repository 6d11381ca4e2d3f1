// "quarix config": Trawlix's configuration dialog, its fields filled from the command line.
#pragma once

namespace program {

// argv holds the words after "config". Exit status: 0 when the settings were accepted
// and saved, 2 when they were not (an invalid number, a cancelled dialog) or the command
// line cannot be understood.
int RunConfigCommand(int argc, char** argv);

}  // namespace program
