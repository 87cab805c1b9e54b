#pragma once

#include <QDateTime>
#include <QString>
#include <optional>
#include <string>

class QWidget;

namespace quill {

// The name a log of `host` started at `at` is offered under:
// HOST-YYYYMMDD-HHMMSS.log, with the ':' of an IPv6 address and any '/' of
// the host made '-', in `documents` or, when that folder does not exist, in
// the home folder.
QString SuggestedLogPath(const std::string& host, const QDateTime& at, const QString& documents);

// The "Log Session" save dialog over `owner`, starting at `suggested`; it
// asks before an existing FILE or FILE.timing is replaced. The chosen path,
// none on Cancel.
std::optional<QString> ChooseLogFile(QWidget* owner, const QString& suggested);

}  // namespace quill
