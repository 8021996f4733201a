#pragma once
// The one check before the desktop program or tavora-cli writes a file the user named (export
// CSV, PDF, picture, chart document): never into the data folder, whose databases the output
// would replace, and only to a new name or an existing regular file (framework/OutputTarget.h).
// Qt-free; any thread.
#include "app/core/AppContext.h"
#include "framework/OutputTarget.h"

#include <filesystem>
#include <string>
#include <vector>

namespace tavora::app {

// The folders whose files the program keeps: the application root (settings, analysis and
// scale databases, logs, the temporary folder), the price database's folder and the backups.
std::vector<std::filesystem::path> keptFolders(const AppPaths& paths);

// checkOutputTarget of `path` against keptFolders(paths).
framework::OutputTarget checkUserOutput(const AppPaths& paths, const std::string& path);
// The same before start-up has run, with the paths of the application root start-up would use
// (for a command that checks its output before it starts anything).
framework::OutputTarget checkUserOutput(const std::string& path);

} // namespace tavora::app
