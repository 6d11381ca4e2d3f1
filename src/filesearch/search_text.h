// The current compiled search pattern of Trawlix, made from FText for the modes that need one.
#pragma once

struct CompiledPattern;

// Used by every content matcher of a search or replace run; null when none is needed.
extern CompiledPattern* SearchPattern;

// Releases the current pattern, then compiles FText for FSearchAs 1, 2, 3 and 5 with
// FCaseSensitive. Returns 0 after a pattern error (the message has been shown), else 1.
int CompileSearchText();
