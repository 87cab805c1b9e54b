#pragma once

#include <QString>
#include <string_view>

namespace quill {

// Starts another copy of this program for a new connection: with the host as
// its only argument, or with no argument (it then asks for a host) when the
// host is empty. The arguments are handed over as a vector, never through a
// shell, so nothing in a host text is ever run. Returns whether the program
// started; callers need not look. `program` defaults to this program's file.
bool LaunchInstance(std::string_view host, const QString& program = {});

}  // namespace quill
