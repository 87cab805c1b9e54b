#include "ui/app/launch_instance.h"

#include <QCoreApplication>
#include <QProcess>
#include <QStringList>

namespace quill {

bool LaunchInstance(std::string_view host, const QString& program) {
    const QString path = program.isEmpty() ? QCoreApplication::applicationFilePath() : program;
    QStringList arguments;
    if (!host.empty()) {
        arguments << QString::fromUtf8(host.data(), static_cast<qsizetype>(host.size()));
    }
    return QProcess::startDetached(path, arguments);
}

}  // namespace quill
