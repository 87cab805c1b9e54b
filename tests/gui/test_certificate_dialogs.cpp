// The two certificate questions: their buttons, the default, and what Escape
// and the close box answer.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QPushButton>
#include <QTimer>

#include "ui/dialogs/certificate_dialogs.h"

namespace quill {
namespace {

const QString kOld =
    "0A:1B:2C:3D:4E:5F:60:71:82:93:A4:B5:C6:D7:E8:F9:00:11:22:33:44:55:66:77:88:99:AA:BB:CC:DD:"
    "EE:FF";
const QString kNew = QString(kOld).replace(0, 2, "FF");

CertificateQuestion Question(CertificateVerdict kind) {
    CertificateQuestion q;
    q.kind = kind;
    q.host = "bbs.example";
    q.port = 992;
    q.errors = {"The certificate is self-signed, and untrusted"};
    q.presented = {"CN=<b>bbs</b>", "CN=<b>bbs</b>", "2026-12-09 10:00:00 UTC",
                   "2026-12-11 10:00:00 UTC", kNew};
    q.remembered = kOld;
    return q;
}

QStringList ButtonTexts(const QMessageBox& box) {
    QStringList texts;
    for (const QAbstractButton* b : box.buttons()) texts << b->text();
    texts.sort();
    return texts;
}

QAbstractButton* ButtonNamed(const QMessageBox& box, const QString& text) {
    for (QAbstractButton* b : box.buttons()) {
        if (b->text() == text) return b;
    }
    return nullptr;
}

// Runs the box and lets `answer` close it once it shows.
TrustAnswer Answered(QMessageBox& box, const std::function<void(QMessageBox&)>& answer) {
    QTimer::singleShot(0, &box, [&] { answer(box); });
    QTimer::singleShot(5000, &box, [&] { box.done(-2); });
    box.exec();
    return AnswerOf(box);
}

TEST(CertificateDialogs, UntrustedNamesTheHostTheErrorsAndTheCertificateAsPlainText) {
    const auto box = MakeCertificateBox(nullptr, Question(CertificateVerdict::kUntrusted));
    EXPECT_EQ(box->windowTitle(), "Untrusted Certificate");
    EXPECT_EQ(box->textFormat(), Qt::PlainText);
    EXPECT_TRUE(box->text().contains("bbs.example, port 992"));
    EXPECT_TRUE(box->text().contains("self-signed"));
    for (const QString& fact :
         QStringList{"Subject: CN=<b>bbs</b>", "Issuer: CN=<b>bbs</b>", "2026-12-09 10:00:00 UTC",
                     "2026-12-11 10:00:00 UTC", kNew}) {
        EXPECT_TRUE(box->informativeText().contains(fact)) << fact.toStdString();
    }
    EXPECT_EQ(ButtonTexts(*box), (QStringList{"&Trust", "Cancel", "Connect &Once"}));
    EXPECT_EQ(box->defaultButton()->text(), "Cancel");
    EXPECT_EQ(box->escapeButton()->text(), "Cancel");
}

TEST(CertificateDialogs, EachButtonAnswersItsOwnAndEscapeAndTheCloseBoxCancel) {
    const auto click = [](const QString& text) {
        return [text](QMessageBox& box) { ButtonNamed(box, text)->click(); };
    };
    const std::vector<std::pair<std::function<void(QMessageBox&)>, TrustAnswer>> cases{
        {click("&Trust"), TrustAnswer::kTrust},
        {click("Connect &Once"), TrustAnswer::kOnce},
        {click("Cancel"), TrustAnswer::kCancel},
        {[](QMessageBox& box) {
             QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
             QApplication::sendEvent(&box, &escape);
         },
         TrustAnswer::kCancel},
        {[](QMessageBox& box) { box.close(); }, TrustAnswer::kCancel},
        {[](QMessageBox& box) {
             QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
             QApplication::sendEvent(box.focusWidget() ? box.focusWidget() : &box, &enter);
         },
         TrustAnswer::kCancel},
    };
    int n = 0;
    for (const auto& [answer, expected] : cases) {
        const auto box = MakeCertificateBox(nullptr, Question(CertificateVerdict::kUntrusted));
        EXPECT_EQ(Answered(*box, answer), expected) << "case " << n++;
    }
}

TEST(CertificateDialogs, ChangedShowsBothFingerprintsEscapedAndWarns) {
    const auto box = MakeCertificateBox(nullptr, Question(CertificateVerdict::kChanged));
    EXPECT_EQ(box->windowTitle(), "Certificate Changed");
    EXPECT_TRUE(box->text().contains("intercepting"));
    EXPECT_TRUE(box->text().contains(kOld.left(47)));
    EXPECT_TRUE(box->text().contains(kNew.left(47)));
    EXPECT_TRUE(box->text().contains(kNew.mid(48)));
    EXPECT_FALSE(box->informativeText().contains("<b>")) << "names from the host are escaped";
    EXPECT_EQ(ButtonTexts(*box), (QStringList{"&Trust the New Certificate", "Cancel"}));
    EXPECT_EQ(box->defaultButton()->text(), "Cancel");
    EXPECT_EQ(
        Answered(*box,
                 [](QMessageBox& b) { ButtonNamed(b, "&Trust the New Certificate")->click(); }),
        TrustAnswer::kTrust);
}

}  // namespace
}  // namespace quill
