#include "ui/resources/help_window.h"

#include <QTextBrowser>
#include <QUrl>

#include "ui/resources/dialog_flags.h"
#include "ui/resources/program_icon.h"

namespace quill {
namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 560;

QTextBrowser* MakeBrowser(QWidget* owner) {
    auto* browser = new QTextBrowser(owner);
    browser->setWindowFlags(kDialogWindowFlags);
    browser->setAttribute(Qt::WA_DeleteOnClose);
    browser->setWindowTitle(QStringLiteral("Quillterm Help"));
    browser->setWindowIcon(ProgramIcon());
    browser->setOpenLinks(true);
    browser->resize(kWidth, kHeight);
    return browser;
}

QUrl PageFor(HelpTopic topic) {
    QUrl url(QStringLiteral("qrc:/quillterm/help.html"));
    url.setFragment(topic == HelpTopic::Index ? QStringLiteral("index")
                                              : QStringLiteral("using-help"));
    return url;
}

}  // namespace

void HelpViewer::Show(QWidget* owner, HelpTopic topic) {
    if (!browser_) browser_ = MakeBrowser(owner);
    browser_->setSource(PageFor(topic));
    browser_->show();
    browser_->raise();
    browser_->activateWindow();
}

}  // namespace quill
