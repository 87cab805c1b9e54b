#include "session_fixture.h"

#include <QMenu>

#include "ui/terminal/terminal_view.h"

namespace quill::test {

SessionTest::SessionTest() {
    hooks.window.messageBox = [this](QWidget* owner, const QString& text, const QString& title,
                                     QMessageBox::Icon icon) {
        boxes.push_back({owner != nullptr, text, title, icon,
                         app && app->Screen() ? ScreenText() : std::string()});
    };
    hooks.window.chooseListedHost = [this](QWidget*) { return listedHostChoice; };
    hooks.window.launchInstance = [this](const std::optional<std::string>& h) {
        launches.push_back(h);
    };
    hooks.window.trackPopupMenu = [this](QMenu& menu, const QPoint&) {
        if (popupAction) popupAction(menu);
    };
    hooks.connectDialog = [this](ConnectionTarget& target, QWidget*) {
        if (connectDialogOk) target = connectDialogTarget;
        return connectDialogOk;
    };
    app = std::make_unique<Application>(store, hooks);
}

SessionTest::~SessionTest() {
    app.reset();
}

int SessionTest::StartUp(const std::vector<std::string>& arguments) {
    std::vector<const char*> argv{"quillterm"};
    for (const std::string& a : arguments) argv.push_back(a.c_str());
    argv.push_back(nullptr);
    return app->StartUp(static_cast<int>(argv.size() - 1), argv.data());
}

void SessionTest::Connect() {
    ASSERT_EQ(StartUp({"127.0.0.1", std::to_string(host.Port())}), Application::kStarted);
    ASSERT_TRUE(host.WaitForClient());
}

QByteArray SessionTest::SentBy(const std::function<void()>& action) {
    static constexpr std::uint8_t kMarker = 0xFE;  // nothing the program sends on its own
    host.ClearReceived();
    action();
    if (!PumpUntil([this] { return !Window().Pasting(); })) ADD_FAILURE() << "the paste hangs";
    app->Transport().SendBytes(&kMarker, 1);
    if (!PumpUntil([this] { return host.Received().endsWith(static_cast<char>(kMarker)); })) {
        ADD_FAILURE() << "the marker did not arrive";
        return host.Received();
    }
    return host.Received().chopped(1);
}

bool SessionTest::FromHost(const QByteArray& bytes, const std::string& shows) {
    host.Send(bytes);
    return PumpUntil([&] { return ScreenText().find(shows) != std::string::npos; });
}

std::string SessionTest::WindowRow(int row) const {
    const int top = app->Window()->View().ViewTop();
    std::string text;
    for (int c = 0; c < app->Screen()->Geometry().columns; ++c)
        text.push_back(static_cast<char>(app->Screen()->CharAt(top + row, c)));
    return text;
}

std::string SessionTest::ScreenRow(int row) const {
    const ScreenView& screen = *app->Screen();
    std::string text;
    for (int c = 0; c < screen.Geometry().columns; ++c) {
        text.push_back(static_cast<char>(screen.CharAt(screen.FirstScreenRow() + row, c)));
    }
    return text;
}

std::string SessionTest::ScreenText() const {
    std::string text;
    for (int r = 0; r < app->Screen()->Geometry().screenRows; ++r) text += ScreenRow(r) + "\n";
    return text;
}

void SessionTest::SetSetting(const char* key, const char* value) {
    store.WriteSetting("Settings", key, value);
}

}  // namespace quill::test
