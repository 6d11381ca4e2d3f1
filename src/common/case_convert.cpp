// The case escapes of replacement templates act on OEM characters through the ANSI code
// page's case mapping, so national letters convert too (unlike in patterns); in the UTF-8
// text model they act on whole characters through Unicode's case mapping.
#include "common/pattern.h"
#include "platform/platform.h"

int CaseSticky = 0;
int CaseOneShot = 0;

// A pending one-shot state (1 or 2) converts the next convertible character on its own,
// also outside an upper or lower stretch, as "\u" and "\l" do in Perl; "\E" clears both
// states, so it still ends every conversion at once. A character without an ANSI
// counterpart passes unchanged and leaves a pending one-shot for the next character.
unsigned char ConvertCase(unsigned char ch) {
  if (CaseSticky == 0 && CaseOneShot == 0) return ch;
  unsigned char ansi = 0;
  unsigned char back = 0;
  if (!platform::ConvertOemToAnsi(ch, &ansi) || !platform::ConvertAnsiToOem(ansi, &back) ||
      back != ch)
    return ch;
  if (CaseOneShot == 1)
    ansi = platform::UpperAnsi(ansi);
  else if (CaseOneShot == 2)
    ansi = platform::LowerAnsi(ansi);
  CaseOneShot = CaseSticky;
  unsigned char oem = ch;
  if (!platform::ConvertAnsiToOem(ansi, &oem)) return ch;  // the new case has no OEM form
  return oem;
}

char32_t ConvertCaseOfCharacter(char32_t c) {
  if (CaseSticky == 0 && CaseOneShot == 0) return c;
  if (CaseOneShot == 1)
    c = platform::UpperCharacter(c);
  else if (CaseOneShot == 2)
    c = platform::LowerCharacter(c);
  CaseOneShot = CaseSticky;
  return c;
}
