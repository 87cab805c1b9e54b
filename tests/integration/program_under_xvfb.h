#pragma once

#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

namespace quill::test {

// The real program in a virtual X display of its own, with a settings file
// of its own, driven with xdotool as a user would. Everything it starts is
// stopped when it goes.
class ProgramUnderXvfb {
  public:
    ~ProgramUnderXvfb();

    // Why these tests cannot run here (Xvfb, xdotool or xdpyinfo missing), or empty.
    static QString Missing();

    // Starts the display and the program with these settings lines and
    // arguments; false when either did not start.
    bool Start(const QByteArray& settings, const QStringList& arguments);
    // An environment variable for the program; call before Start.
    void SetVariable(const QString& name, const QString& value) { variables_.insert(name, value); }
    // A program the program runs under (strace and its arguments); call before Start.
    void SetLauncher(const QStringList& launcher) { launcher_ = launcher; }
    // Waits for the window with this exact title, then gives it the keyboard.
    bool FocusWindow(const QString& title, int timeoutMs = 30000);
    // xdotool with the display set; its exit code, -1 when it hung.
    int Xdotool(const QStringList& arguments, QString* output = nullptr) const;
    // The PRIMARY selection's text as xclip reads it on the display.
    QByteArray Primary() const;
    // Waits for the program to end; its exit code, or -1 (killed) when it did not.
    int WaitForExit(int timeoutMs = 15000);

    qint64 ProcessId() const { return program_.processId(); }
    QString ConfigPath(const QString& name) const { return config_.filePath(name); }
    // The ids of the windows on the display, or why there are none: for a
    // failure message.
    QString Windows() const;

  private:
    bool StartDisplay();
    bool StartXvfb();
    bool DisplayAnswers();
    // A tool run on the display; its exit code, -1 when it hung or crashed.
    int RunOnDisplay(const QString& tool, const QStringList& arguments,
                     QString* output = nullptr) const;

    QProcess xvfb_;
    QString display_;
    QByteArray xvfbErrors_;
    QTemporaryDir config_;
    QProcess program_;
    QProcessEnvironment variables_;
    QStringList launcher_;
};

}  // namespace quill::test
