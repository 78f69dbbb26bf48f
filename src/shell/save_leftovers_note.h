// Telling the user, as a file opens, about the files interrupted saves of it left beside it.
#pragma once

#include <string>

namespace varnock {

// A message box (through Prompts) naming each leftover of `path` and what it holds; nothing
// when there is none. A box rather than a status note: an old copy may hold the only good
// contents of a file a killed save left half-written, and the user should read that before
// editing and saving over it.
void TellSaveLeftovers(const std::string& path);

}  // namespace varnock
