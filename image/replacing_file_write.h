#pragma once
// Writing a file so that a failure never leaves a partly written file over a
// good one: the content goes to a new file in the target's directory, which
// replaces the target only once it is complete.
#include <functional>
#include <string>

// Calls `write` with the name of a temporary file beside `target`, then moves
// that file over `target`. False, with the target as it was and no temporary
// file left behind, when the target exists but cannot be opened for writing,
// when `write` raises, or when the move fails; at once for an empty name.
// Never raises.
bool WriteFileReplacing(const std::string& target, const std::function<void(const std::string& temporary)>& write);
