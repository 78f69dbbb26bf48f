// The files a save makes on the way, named after the file they belong to, so that one a killed
// save leaves behind says whose it is and what it holds:
//   .NAME.varnock-save-XXXXXX  a file being written: the new contents of a replacing save, or
//                              the copy of NAME a write in place makes first (NAME untouched)
//   .NAME.varnock-old-XXXXXX   that copy once complete: NAME's contents before a write in place
#pragma once

#include <string>
#include <vector>

namespace varnock {

enum class SaveTemporaryKind { Unfinished, OldContents };

// "FOLDER/.NAME.varnock-save-XXXXXX" for mkstemp (or "-old-"), NAME being the last part of
// `target`, shortened when the whole name would pass the 255 bytes a file name may have.
std::string SaveTemporaryPattern(const std::string& folder, const std::string& target,
                                 SaveTemporaryKind kind);

// The file a save of `requested` writes: the end of its chain of symbolic links, also when the
// last one points to a file that does not exist yet (which the save then makes). Empty, with
// `error` set, for a loop of links.
std::string SaveTargetPath(const std::string& requested, int* error);

// The folder of `path` ("." for a bare name).
std::string FolderOf(const std::string& path);

// A file can be created in `folder` by its permission bits and ACL; as for files, root too
// needs some write bit. A folder that cannot be looked at is left to the create call to explain.
bool FolderWritableByUser(const std::string& folder);

// Where a copy goes when the file's own folder cannot take one: $TMPDIR, else /tmp.
std::string TemporaryFolder();

struct SaveLeftover {
  std::string Path;
  SaveTemporaryKind Kind;
};

// What interrupted saves of `path` left: beside the file it names, and, when the bits of that
// folder let nobody create a file in it (so a copy went to the temporary folder), old copies
// of a file of that name there.
std::vector<SaveLeftover> FindSaveLeftovers(const std::string& path);

// One sentence about a leftover of `path`, for the user.
std::string SaveLeftoverText(const SaveLeftover& leftover, const std::string& path);

}  // namespace varnock
