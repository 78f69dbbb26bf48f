#include "io/save_temporaries.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>

#include "io/file_io.h"

namespace varnock {
namespace {

constexpr size_t kLongestFileName = 255;
constexpr size_t kRandomPart = 6;  // mkstemp's XXXXXX
// Links a save follows before it calls the chain a loop, as the system does.
constexpr int kMostLinks = 40;

const char* Infix(SaveTemporaryKind kind) {
  return kind == SaveTemporaryKind::Unfinished ? ".varnock-save-" : ".varnock-old-";
}

std::string BaseName(const std::string& path) {
  const auto slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// ".NAME.varnock-save-", the name without its random part. Both kinds shorten a long NAME
// alike, so that the two names of one copy keep the same NAME.
std::string Prefix(const std::string& target, SaveTemporaryKind kind) {
  const size_t longestInfix = std::string(Infix(SaveTemporaryKind::Unfinished)).size();
  std::string name = BaseName(target);
  name.resize(std::min(name.size(), kLongestFileName - 1 - longestInfix - kRandomPart));
  return "." + name + Infix(kind);
}

bool IsRandomPart(const std::string& text) {
  if (text.size() != kRandomPart) return false;
  for (const char c : text)
    if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))) return false;
  return true;
}

void CollectLeftovers(const std::string& folder, const std::string& target, SaveTemporaryKind kind,
                      std::vector<SaveLeftover>& found) {
  DIR* entries = ::opendir(folder.c_str());
  if (!entries) return;
  const std::string prefix = Prefix(target, kind);
  while (const dirent* entry = ::readdir(entries)) {
    const std::string name = entry->d_name;
    if (name.size() == prefix.size() + kRandomPart && name.compare(0, prefix.size(), prefix) == 0 &&
        IsRandomPart(name.substr(prefix.size())))
      found.push_back({folder + "/" + name, kind});
  }
  ::closedir(entries);
}

}  // namespace

std::string FolderOf(const std::string& path) {
  const auto slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

std::string SaveTemporaryPattern(const std::string& folder, const std::string& target,
                                 SaveTemporaryKind kind) {
  return folder + "/" + Prefix(target, kind) + std::string(kRandomPart, 'X');
}

std::string SaveTargetPath(const std::string& requested, int* error) {
  std::string path = requested;
  for (int links = 0; links <= kMostLinks; ++links) {
    if (char* resolved = ::realpath(path.c_str(), nullptr)) {
      path = resolved;
      std::free(resolved);
      return path;
    }
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return path;
    // A link to a file that is not there yet: the save makes that file, the link stays.
    std::string target(static_cast<size_t>(info.st_size) + 1, '\0');
    const ssize_t length = ::readlink(path.c_str(), target.data(), target.size());
    if (length < 0 || static_cast<size_t>(length) >= target.size()) return path;
    target.resize(static_cast<size_t>(length));
    path = target.front() == '/' ? target : FolderOf(path) + "/" + target;
  }
  *error = ELOOP;
  return {};
}

bool FolderWritableByUser(const std::string& folder) {
  struct stat info {};
  if (::stat(folder.c_str(), &info) != 0) return true;
  return WritableByUser(folder, info.st_mode);
}

std::string TemporaryFolder() {
  const char* folder = std::getenv("TMPDIR");
  return folder && folder[0] == '/' ? folder : "/tmp";
}

std::vector<SaveLeftover> FindSaveLeftovers(const std::string& path) {
  int error = 0;
  const std::string target = SaveTargetPath(path, &error);
  std::vector<SaveLeftover> found;
  if (target.empty()) return found;
  const std::string folder = FolderOf(target);
  CollectLeftovers(folder, target, SaveTemporaryKind::Unfinished, found);
  CollectLeftovers(folder, target, SaveTemporaryKind::OldContents, found);
  if (!FolderWritableByUser(folder))
    CollectLeftovers(TemporaryFolder(), target, SaveTemporaryKind::OldContents, found);
  return found;
}

std::string SaveLeftoverText(const SaveLeftover& leftover, const std::string& path) {
  if (leftover.Kind == SaveTemporaryKind::Unfinished)
    return "'" + leftover.Path + "' is a partial file left by an interrupted save of '" + path +
           "': it is safe to delete.";
  return "'" + leftover.Path + "' holds the contents '" + path +
         "' had before an interrupted write, which may have left it partly new.";
}

}  // namespace varnock
