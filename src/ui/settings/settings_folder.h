#pragma once

#include <QString>

namespace quill {

// The folder of the per-user settings file ($XDG_CONFIG_HOME/Brannock on
// Linux); where the settings live in the registry, the program's
// configuration folder.
QString SettingsFolder();

}  // namespace quill
