#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

namespace quill::test {

// Why the program cannot be driven on a virtual display here (Xvfb or
// xdotool is missing), or empty when it can.
QString MissingXTools();

// A virtual X display of its own, stopped by its process id.
class VirtualDisplay {
  public:
    ~VirtualDisplay();
    bool Start();
    const QString& Name() const { return name_; }

  private:
    QProcess xvfb_;
    QString name_;
};

// Runs xdotool on `display`: its exit code, -1 when it did not finish.
int RunXdotool(const QString& display, const QStringList& arguments, QString* output = nullptr);

// Waits until a window whose name matches `pattern` is on the display: its
// id, or empty after `timeoutMs`.
QString WaitForWindow(const QString& display, const QString& pattern, int timeoutMs);
// The ids of every named window on the display, for a failure message.
QString WindowIds(const QString& display);

// Starts the program on `display` with its settings in `configDir`, where it
// closes without a box when the server does.
bool StartProgramOnDisplay(QProcess& program, const QString& display, const QString& configDir,
                           const QStringList& arguments);

// Waits for the program to end, and kills it (by its process id) when it does not.
bool WaitForProgramEnd(QProcess& program, int timeoutMs);

}  // namespace quill::test
