#pragma once

#include <QString>
#include <optional>

#include "core/script/script.h"

namespace quill {

// A script file read and checked, or why not.
struct LoadedScript {
    std::optional<Script> script;
    // The file could not be read at all (missing, a folder, no permission).
    bool unreadable = false;
    // For the user: the script's first fault with its line, or why the file
    // could not be read.
    QString fault;
};

LoadedScript LoadScript(const QString& path);

// A script path from the settings: a relative one is relative to `folder`,
// the folder of the settings file.
QString ResolveScriptPath(const QString& path, const QString& folder);

}  // namespace quill
