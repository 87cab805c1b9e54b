#pragma once

#include <gtest/gtest.h>

#include <QMessageBox>
#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/settings/memory_settings_backend.h"
#include "core/settings/settings_store.h"
#include "scripted_server.h"
#include "ui/app/application.h"

namespace quill::test {

// A message box the program would have shown.
struct ShownBox {
    bool owned = false;
    QString text;
    QString title;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    std::string screenAtThatTime;
};

// One program run against a scripted host, with every outside effect
// (boxes, dialogs, program starts, help) recorded instead of shown.
class SessionTest : public ::testing::Test {
  protected:
    SessionTest();
    ~SessionTest() override;

    // Starts the program with these arguments after the program name.
    int StartUp(const std::vector<std::string>& arguments);
    // Starts it against the scripted host and waits for the host to accept.
    void Connect();

    // Runs `action` and returns every byte it sent to the host, a paste
    // included: a marker sent after it tells when they have all arrived.
    QByteArray SentBy(const std::function<void()>& action);
    // Sends the host's bytes and waits until the screen shows `shows`.
    bool FromHost(const QByteArray& bytes, const std::string& shows);
    // The text of a window row as painted now (view top applied), and of the live screen.
    std::string WindowRow(int row) const;
    std::string ScreenRow(int row) const;
    std::string ScreenText() const;
    void SetSetting(const char* key, const char* value);

    MainWindow& Window() { return *app->Window(); }

    MemorySettingsBackend backend;
    SettingsStore store{backend};
    AppHooks hooks;
    std::vector<ShownBox> boxes;
    std::vector<std::optional<std::string>> launches;
    std::optional<std::string> listedHostChoice;
    bool connectDialogOk = false;
    ConnectionTarget connectDialogTarget;
    std::function<void(QMenu&)> popupAction;
    ScriptedServer host;
    std::unique_ptr<Application> app;
};

}  // namespace quill::test
