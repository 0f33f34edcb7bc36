// The outside readers of the Windows builds: the GV bridge, and the Susie
// plug-in set bound here once it is part of the program (until then these
// builds have none, and the loader treats the set as absent).
#include "external/kxv_gv.h"
#include "image/absent_reader.h"

std::unique_ptr<TExternalReader> MakeSusieReader() { return std::make_unique<TAbsentReader>(); }
std::unique_ptr<TExternalReader> MakeGVReader() { return std::make_unique<kxvGV>(); }
