// Which patterns can only ever match inside one line.
#pragma once

// True when no match of the pattern, nor any lookaround of it, can take in an LF: then a
// window of lines holds a match exactly when one of its lines does (in a range without
// CRs, where every line end is an LF). The test is of the pattern's text and stays on the
// safe side: any item it does not know answers false.
bool IsPatternConfinedToLine(const char* text);
