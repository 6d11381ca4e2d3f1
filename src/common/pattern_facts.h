// What the text of a pattern tells about its matches, for scanners that skip what cannot
// match. Both answers stay on the safe side: a construct they do not know gives none.
#pragma once

#include <string>

// True when no match of the pattern, nor any lookaround of it, can take in an LF: then in
// a range whose lines all end with an LF, a match lies inside one line.
bool IsPatternConfinedToLine(const char* text);

// The literal characters a pattern begins with, when every match must begin with them: no
// alternative anywhere, no option or group before them, and the last of them dropped when
// a quantifier may leave it out. With caseless, letters whose case partners lie beyond
// ASCII (k and s) end the text, as do all bytes beyond ASCII. Empty when fewer than two
// such characters lead the pattern.
std::string FindLeadingText(const char* pattern, bool caseless);
