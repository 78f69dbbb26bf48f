// The user's own encodings: the folder they are read from at start-up, and how the files that
// were refused there are reported.
#pragma once

#include <QString>
#include <string>
#include <vector>

#include "codec/codec_file.h"

namespace varnock {

// The user's data folder of the application plus "/codecs", as bytes.
std::string UserCodecFolder();

// One message naming every refused file of `results` with its line and reason; empty when
// every file loaded.
QString CodecLoadProblems(const std::vector<CodecLoadResult>& results);

// Tells the user once about the files of `results` that were refused, through the installed
// prompts (standard error in a screenshot run). Nothing when there were none.
void ReportCodecLoadProblems(const std::vector<CodecLoadResult>& results);

}  // namespace varnock
