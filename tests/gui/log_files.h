#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

namespace quill::test {

// A file's bytes; empty when it cannot be read.
inline QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The bytes a session log's timing file accounts for: the sum of its counts.
inline qint64 TimedBytes(const QString& timingPath) {
    qint64 total = 0;
    for (const QByteArray& line : ReadAll(timingPath).split('\n')) {
        if (!line.isEmpty()) total += line.split(' ').value(1).toLongLong();
    }
    return total;
}

}  // namespace quill::test
