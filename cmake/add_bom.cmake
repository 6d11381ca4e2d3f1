# Puts a UTF-8 byte order mark before a file's text (in place), unless it has one:
#   cmake -DFILE=PATH -P add_bom.cmake
# Far 3 reads language and help files without one in the OEM code page.
string(ASCII 239 187 191 bom)
file(READ ${FILE} text)
string(FIND "${text}" "${bom}" at)
if(NOT at EQUAL 0)
  file(WRITE ${FILE} "${bom}${text}")
endif()
