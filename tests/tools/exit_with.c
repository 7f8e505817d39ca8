/* Prints its arguments to stdout and stderr, then exits with the code its first argument names. */
#include <stdio.h>
#include <stdlib.h>

int main(int argc, char** argv) {
  for (int i = 1; i < argc; i++) {
    printf("out:%s\n", argv[i]);
    fprintf(stderr, "err:%s\n", argv[i]);
  }
  return argc > 1 ? atoi(argv[1]) : 0;
}
