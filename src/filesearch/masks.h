// The mask language that chooses the files a walk hands on: wildcards "*" and "?", a
// delimiter between masks, a negation mark, and the rule for names without an extension.
#pragma once

// 1 when the bare file name passes the list under MaskDelimiter, MaskNegation and
// DotAsteriskMatchesNoExtension.
int MatchMaskList(const char* maskList, const char* name);
// 1 when the whole name matches the whole mask.
int MatchWildcard(const char* mask, const char* name);
