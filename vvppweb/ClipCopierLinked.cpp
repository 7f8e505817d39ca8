// The native vivcopy's copier: CopyClipFile, linked in.
#include "vvppweb/ClipCopier.h"

bool FindClipCopier(TClipCopier& Copier, std::string&) {
  Copier = CopyClipFile;
  return true;
}
