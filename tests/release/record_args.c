/* Stands in for the browser in the release test: appends the arguments after the first, one
   line a start, to the file the first names. A window program, so no console comes up. */
#include <stdio.h>
#include <stdlib.h>
#include <windows.h>

int WINAPI WinMain(HINSTANCE Instance, HINSTANCE Previous, LPSTR CommandLine, int Show) {
  (void)Instance, (void)Previous, (void)CommandLine, (void)Show;
  if (__argc < 2) return 2;
  FILE* Log = fopen(__argv[1], "ab");
  if (!Log) return 1;
  for (int I = 2; I < __argc; ++I) fprintf(Log, "%s%s", I > 2 ? " " : "", __argv[I]);
  fputs("\r\n", Log);
  return fclose(Log) == 0 ? 0 : 1;
}
