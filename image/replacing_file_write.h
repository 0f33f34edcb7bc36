#pragma once
// Writing a file so that a failure never leaves a partly written file over a
// good one: the content goes to a new file in the target's directory, which
// replaces the target only once it is complete.
#include <functional>
#include <string>

class TStream;

// Calls `write` with a stream on a new file and puts that file in the target's
// place: when the target exists, the stream is on a temporary file beside it,
// moved over the target once written; when it does not, on the target itself,
// created only if no file has taken the name meanwhile and removed again when
// writing fails. False, with the target as it was and no new file left behind,
// when the target exists but cannot be opened for writing, when the file cannot
// be created, when `write` or closing raises, or when the move fails; at once
// for an empty name. Never raises.
bool WriteFileReplacing(const std::string& target, const std::function<void(TStream& out)>& write);
