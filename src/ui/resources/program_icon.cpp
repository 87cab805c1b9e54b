#include "ui/resources/program_icon.h"

#include <QString>

namespace quill {

QIcon ProgramIcon() {
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128, 256}) {
        icon.addFile(QStringLiteral(":/quillterm/quillterm-%1.png").arg(size), QSize(size, size));
    }
    return icon;
}

QIcon LoadProgramIcon(std::string_view name) {
    const QString asked = QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
    if (asked.compare(QStringLiteral("quillterm"), Qt::CaseInsensitive) == 0) return ProgramIcon();
    return {};
}

}  // namespace quill
