// The readers of a platform without Susie plug-ins or GV: neither exists here.
#include "image/absent_reader.h"

std::unique_ptr<TExternalReader> MakeSusieReader() { return std::make_unique<TAbsentReader>(); }
std::unique_ptr<TExternalReader> MakeGVReader() { return std::make_unique<TAbsentReader>(); }
