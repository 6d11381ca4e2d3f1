// The case escapes of replacement templates act on OEM characters through the ANSI code
// page's case mapping, so national letters convert too (unlike in patterns); in the UTF-8
// text model they act on whole characters through Unicode's case mapping.
#include "common/pattern.h"
#include "platform/platform.h"

// A pending one-shot state (1 or 2) converts the next convertible character on its own,
// also outside an upper or lower stretch, as "\u" and "\l" do in Perl; "\E" clears both
// states, so it still ends every conversion at once. A character without an ANSI
// counterpart passes unchanged and leaves a pending one-shot for the next character.
unsigned char ConvertCase(CaseStates& states, unsigned char ch) {
  if (states.sticky == 0 && states.oneShot == 0) return ch;
  unsigned char ansi = 0;
  unsigned char back = 0;
  if (!platform::ConvertOemToAnsi(ch, &ansi) || !platform::ConvertAnsiToOem(ansi, &back) ||
      back != ch)
    return ch;
  if (states.oneShot == 1)
    ansi = platform::UpperAnsi(ansi);
  else if (states.oneShot == 2)
    ansi = platform::LowerAnsi(ansi);
  states.oneShot = states.sticky;
  unsigned char oem = ch;
  if (!platform::ConvertAnsiToOem(ansi, &oem)) return ch;  // the new case has no OEM form
  return oem;
}

char32_t ConvertCaseOfCharacter(CaseStates& states, char32_t c) {
  if (states.sticky == 0 && states.oneShot == 0) return c;
  if (states.oneShot == 1)
    c = platform::UpperCharacter(c);
  else if (states.oneShot == 2)
    c = platform::LowerCharacter(c);
  states.oneShot = states.sticky;
  return c;
}
