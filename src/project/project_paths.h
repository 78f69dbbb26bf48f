// The files a project names: its ROM, palettes and pictures are written relative to the
// project file's folder, so a project and its files can move together.
#pragma once

#include <string>

#include "project/project_file.h"

namespace varnock {

// The folder of `projectPath` ("." for a bare name). Paths are bytes, as Linux keeps them.
std::string ProjectFolder(const std::string& projectPath);
// `written` as the project names it, read from where the program runs: relative names are
// taken from the project's folder, absolute ones stay.
std::string ProjectFilePath(const std::string& projectPath, const std::string& written);
// `path` (relative to where the program runs, or absolute) as the project writes it: relative
// to the project's folder.
std::string PathInProject(const std::string& projectPath, const std::string& path);

// The ROM the project is about, and where a resource's picture is kept (its png key, or
// NAME.png beside the project).
std::string ProjectRomPath(const std::string& projectPath, const Project& project);
std::string ResourcePicturePath(const std::string& projectPath, const ProjectResource& resource);

// Makes the folders `path`'s folder needs. Empty when they are there, else why not.
std::string MakeParentFolders(const std::string& path);

}  // namespace varnock
