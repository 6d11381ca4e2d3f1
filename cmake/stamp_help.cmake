# Copies a help file, adding the release's version to the title of its contents page:
#   cmake -DIN=FILE -DOUT=FILE -DVERSION=X.Y.Z -P stamp_help.cmake
# The bytes are kept as they are (the Russian file is in code page 866); only the title
# line "$ #Quarix:" of the @Contents topic becomes "$ #Quarix VERSION:".
file(READ ${IN} text)
string(FIND "${text}" "\n@Contents\n" contents)
string(FIND "${text}" "\n$ #Quarix:" title)
if(contents LESS 0 OR title LESS contents)
  message(FATAL_ERROR "${IN}: no title \"$ #Quarix:\" in its @Contents topic")
endif()
math(EXPR after "${title} + 11")
string(SUBSTRING "${text}" 0 ${after} head)
string(SUBSTRING "${text}" ${after} -1 tail)
string(REGEX REPLACE ":$" " ${VERSION}:" head "${head}")
file(WRITE ${OUT} "${head}${tail}")
