#include <stdio.h>

#include "config.h"

int main(void) {
  /* TODO: read the name from the command line */
  printf("%s %d\n", SAMPLE_NAME, SAMPLE_VERSION);
  return 0;
}
