// The outside readers of the Windows builds: the Susie plug-in set (the system
// directory's plug-ins and the program's own) and the GV bridge.
#include "external/kxv_gv.h"
#include "external/kxv_susie.h"

std::unique_ptr<TExternalReader> MakeSusieReader() { return std::make_unique<kxvSusie>(); }
std::unique_ptr<TExternalReader> MakeGVReader() { return std::make_unique<kxvGV>(); }
