// The import's options for a stream's room and its move: --room and --fill set what a save may
// take and leave behind; --move-to writes a stream that no longer fits elsewhere, --repoint
// makes the GBA pointer words to its old place follow it.
#pragma once

#include <string_view>

#include "document/rom_document.h"
#include "document/stream_link.h"
#include "tool/tool_arguments.h"

namespace varnock {

// Gives `link` the room of --room and the fill byte of --fill; stops with the editor's words
// when the stream cannot have that room. Both need --compressed.
void ApplyRoomOptions(const ParsedArguments& arguments, std::string_view command,
                      const RomDocument& doc, StreamLink& link);

// A stream whose save `plan` does not fit: with --move-to it is written at the offset given
// (or, with "auto", at the first free run from the image's end), the old place left as it was,
// and true is returned; what moved is said on standard output. Without --move-to, false.
// A place the stream cannot take, or bytes there that are not free space, stop the command.
bool MoveStreamOption(const ParsedArguments& arguments, std::string_view command, RomDocument& doc,
                      StreamLink& link, const StreamSavePlan& plan);

}  // namespace varnock
