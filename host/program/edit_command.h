// "edit FILE ...": Linquo's search, replace and repeat on a file in the host's editor.
#pragma once

namespace program {

// args are the words after "edit". Exit status: 0 every command ran and the last search
// found something, 1 the last search found nothing, 2 an error.
int RunEditCommand(int argc, char** argv);

const char* EditUsageText();

}  // namespace program
