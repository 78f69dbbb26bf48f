// The user's own encodings: how the files that were refused in their folder at start-up are
// reported.
#pragma once

#include <QString>
#include <string>
#include <vector>

#include "codec/codec_file.h"
#include "pictures/user_codec_folder.h"

namespace varnock {

// One message naming every refused file of `results` with its line and reason; empty when
// every file loaded.
QString CodecLoadProblems(const std::vector<CodecLoadResult>& results);

// Tells the user once about the files of `results` that were refused, through the installed
// prompts (standard error in a screenshot run). Nothing when there were none.
void ReportCodecLoadProblems(const std::vector<CodecLoadResult>& results);

}  // namespace varnock
