// Session scripts in the window: the Run Script command with its check mark
// and stop, the script of the command line and of the `scripts` settings,
// the "Script" boxes, passwords from the keyring or the Password dialog, and
// the stop when the connection closes.
#include <QAction>
#include <QCheckBox>
#include <QDialog>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>

#include "core/script/host_key.h"
#include "session_fixture.h"
#include "ui/dialogs/password_dialog.h"
#include "ui/resources/command_ids.h"

namespace quill::test {
namespace {

// A keyring that answers at once from what the test put in it.
class FakeKeyring final : public Keyring {
  public:
    void Find(const std::string& key, QObject*, Done done) override {
        asked.push_back(key);
        const auto it = secrets.find(key);
        done(KeyringAnswer{available,
                           it == secrets.end() ? std::nullopt : std::optional(it->second)});
    }
    void Store(const std::string& key, const std::string& secret) override {
        secrets[key] = secret;
    }
    bool available = true;
    std::map<std::string, std::string> secrets;
    std::vector<std::string> asked;
};

class RunScriptTest : public SessionTest {
  protected:
    RunScriptTest() {
        hooks.window.chooseScriptFile = [this](QWidget*) { return chosen; };
        hooks.window.keyring = keyring;
        app = std::make_unique<Application>(store, hooks);
    }
    QString Write(const char* name, const QByteArray& text) {
        const QString path = dir.filePath(name);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size()) ADD_FAILURE();
        return path;
    }
    bool Checked() { return Window().Menus().Find(CommandId::kRunScript)->isChecked(); }
    bool Received(const QByteArray& bytes) {
        return PumpUntil([&] { return host.Received() == bytes; });
    }
    PasswordDialog* ShownPasswordDialog() {
        for (PasswordDialog* dialog : Window().findChildren<PasswordDialog*>()) {
            if (dialog->isVisible()) return dialog;
        }
        return nullptr;
    }
    PasswordDialog* OpenPasswordDialog() {
        PumpUntil([this] { return ShownPasswordDialog() != nullptr; });
        return ShownPasswordDialog();
    }

    QTemporaryDir dir;
    std::optional<QString> chosen;
    std::shared_ptr<FakeKeyring> keyring = std::make_shared<FakeKeyring>();
};

TEST_F(RunScriptTest, TheCommandRunsTheChosenFileFromThePromptShownAndStopsOnTheSecondChoice) {
    Connect();
    ASSERT_TRUE(FromHost("banner\r\nrouter> ", "router> "));
    chosen = Write("r.qs", "expect \"router> \"\nsendln \"show\"\nexpect \"never\"\n");
    Window().Menus().Find(CommandId::kRunScript)->trigger();
    EXPECT_TRUE(Checked());
    EXPECT_TRUE(Received("show\r"));
    EXPECT_TRUE(Window().Scripts().Running());

    Window().OnCommand(CommandId::kRunScript);
    EXPECT_FALSE(Checked());
    EXPECT_FALSE(Window().Scripts().Running());

    chosen = Write("bad.qs", "expect \"a\"\nsend hello\n");
    Window().OnCommand(CommandId::kRunScript);
    EXPECT_FALSE(Checked());
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].title, "Script");
    EXPECT_EQ(boxes[0].text, *chosen + ", line 2: send wants a text in double quotes, not 'hello'");
    EXPECT_EQ(host.Received(), "show\r") << "a faulty script sends nothing";
}

TEST_F(RunScriptTest,
       ACommandLineScriptRunsFromTheFirstByteAndAFileThatCannotBeReadIsACommandLineError) {
    const QString script = Write("s.qs", "expect \"ready\"\nsend \"go\"\nstop \"all done\"\n");
    const std::string port = std::to_string(host.Port());
    ASSERT_EQ(StartUp({"--script", script.toStdString(), "127.0.0.1", port}),
              Application::kStarted);
    ASSERT_TRUE(host.WaitForClient());
    EXPECT_TRUE(Checked());
    host.Send("ready");
    EXPECT_TRUE(Received("go"));
    ASSERT_TRUE(PumpUntil([this] { return !boxes.empty(); }));
    EXPECT_EQ(boxes[0].title, "Script");
    EXPECT_EQ(boxes[0].text, "all done");
    EXPECT_FALSE(Checked());

    for (const std::vector<std::string>& arguments :
         {std::vector<std::string>{"--script", dir.filePath("none.qs").toStdString(), "h"},
          std::vector<std::string>{"--script", dir.path().toStdString(), "h"},
          std::vector<std::string>{"--script"}}) {
        boxes.clear();
        app = std::make_unique<Application>(store, hooks);
        EXPECT_EQ(StartUp(arguments), 3);
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text, "Commandline error");
    }
}

TEST_F(RunScriptTest, TheScriptsSettingRunsForItsHostUnlessTheCommandLineNamesAnother) {
    backend.WriteText("scripts", ScriptHostKey("127.0.0.1"),
                      Write("setting.qs", "send \"from settings\"\n").toStdString());
    Connect();
    EXPECT_TRUE(Received("from settings"));

    app = std::make_unique<Application>(store, hooks);
    ScriptedServer other;
    const QString faulty = Write("faulty.qs", "send \"x\"\nsned \"y\"\n");
    ASSERT_EQ(
        StartUp({"--script", faulty.toStdString(), "127.0.0.1", std::to_string(other.Port())}),
        Application::kStarted);
    ASSERT_TRUE(other.WaitForClient());
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, faulty + ", line 2: unknown command 'sned'");
    other.Send("x\r\n");
    ASSERT_TRUE(PumpUntil([this] { return ScreenText().find('x') != std::string::npos; }));
    EXPECT_EQ(other.Received(), "") << "neither script ran";
}

TEST_F(RunScriptTest, PasswordsComeFromTheKeyringUnderNameAtHostElseFromTheDialog) {
    keyring->secrets["root@127.0.0.1"] = "from keyring";
    chosen = Write("p.qs", "password \"root\"\npassword \"admin\"\nsend \"end\"\n");
    Connect();
    Window().OnCommand(CommandId::kRunScript);
    PasswordDialog* dialog = OpenPasswordDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->windowTitle(), "Password");
    QStringList lines;
    for (const QLabel* label : dialog->findChildren<QLabel*>()) lines << label->text();
    EXPECT_TRUE(lines.contains("The password will travel in clear text, not encrypted."));
    EXPECT_TRUE(dialog->findChild<QCheckBox*>()->isEnabled());
    QLineEdit* field = dialog->findChild<QLineEdit*>();
    field->setText("typed");
    const QString fieldsBuffer = field->text();  // shares the field's memory
    dialog->findChild<QCheckBox*>()->setChecked(true);
    dialog->accept();
    EXPECT_TRUE(Received("from keyring\rtyped\rend"));
    EXPECT_EQ(fieldsBuffer, QString(5, QChar())) << "the field's memory overwritten";
    EXPECT_EQ(keyring->asked, (std::vector<std::string>{"root@127.0.0.1", "admin@127.0.0.1"}));
    EXPECT_EQ(keyring->secrets["admin@127.0.0.1"], "typed");

    // No keyring: the box is off; Cancel ends the script without a word.
    keyring->available = false;
    host.ClearReceived();
    chosen = Write("q.qs", "password \"other\"\nsend \"never\"\n");
    Window().OnCommand(CommandId::kRunScript);
    dialog = OpenPasswordDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_FALSE(dialog->findChild<QCheckBox*>()->isEnabled());
    dialog->reject();
    EXPECT_TRUE(PumpUntil([this] { return !Window().Scripts().Running(); }));
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(host.Received(), "");
}

TEST_F(RunScriptTest, TheHostsCloseStopsTheScriptQuietlyAndClosesItsDialog) {
    hooks.window.keyring = nullptr;
    app = std::make_unique<Application>(store, hooks);
    chosen = Write("c.qs", "password \"root\"\n");
    Connect();
    Window().OnCommand(CommandId::kRunScript);
    ASSERT_NE(OpenPasswordDialog(), nullptr);
    host.Close();
    ASSERT_TRUE(PumpUntil([this] { return Window().Destroyed(); }));
    EXPECT_FALSE(Window().Scripts().Running());
    EXPECT_EQ(ShownPasswordDialog(), nullptr);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Connection closed");
}

}  // namespace
}  // namespace quill::test
