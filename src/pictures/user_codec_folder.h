// The user's folder of encoding descriptions, which the editor and the command-line tool both
// read at start-up.
#pragma once

#include <string>

namespace varnock {

// The user's data folder of the application ("Varnock Pro" in the XDG data home) plus
// "/codecs", as bytes. Needs no application object.
std::string UserCodecFolder();

}  // namespace varnock
