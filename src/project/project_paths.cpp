#include "project/project_paths.h"

#include <filesystem>
#include <system_error>

namespace varnock {
namespace {

namespace fs = std::filesystem;

// A path from where the program runs, without "." and ".." steps, and without asking the disk:
// a link on the way is not resolved, so the path names what the user named.
fs::path Absolute(const std::string& path) {
  std::error_code error;
  fs::path absolute = fs::absolute(fs::path(path), error);
  if (error) absolute = fs::path(path);
  return absolute.lexically_normal();
}

}  // namespace

std::string ProjectFolder(const std::string& projectPath) {
  const fs::path folder = fs::path(projectPath).parent_path();
  return folder.empty() ? std::string(".") : folder.string();
}

std::string ProjectFilePath(const std::string& projectPath, const std::string& written) {
  const fs::path path(written);
  if (path.is_absolute()) return written;
  const fs::path folder = fs::path(projectPath).parent_path();
  return folder.empty() ? written : (folder / path).lexically_normal().string();
}

std::string PathInProject(const std::string& projectPath, const std::string& path) {
  const fs::path target = Absolute(path);
  const fs::path folder = Absolute(ProjectFolder(projectPath));
  const fs::path relative = target.lexically_relative(folder);
  return relative.empty() ? target.string() : relative.string();
}

std::string ProjectRomPath(const std::string& projectPath, const Project& project) {
  return ProjectFilePath(projectPath, project.Rom);
}

std::string ResourcePicturePath(const std::string& projectPath, const ProjectResource& resource) {
  return ProjectFilePath(projectPath,
                         resource.Picture.empty() ? resource.Name + ".png" : resource.Picture);
}

std::string MakeParentFolders(const std::string& path) {
  const fs::path folder = fs::path(path).parent_path();
  if (folder.empty()) return {};
  std::error_code error;
  fs::create_directories(folder, error);
  if (error) return "The folder '" + folder.string() + "' could not be made: " + error.message();
  return {};
}

}  // namespace varnock
