#include <qt6keychain/keychain.h>

#include <QObject>
#include <QTimer>
#include <memory>

#include "ui/script/keyring.h"

namespace quill {
namespace {

class DesktopKeyring final : public Keyring {
  public:
    void Find(const std::string& key, QObject* context, Done done) override {
        auto* job = new QKeychain::ReadPasswordJob(QString::fromLatin1(kKeyringService));
        job->setAutoDelete(true);
        job->setInsecureFallback(false);  // never a plain file in its place
        job->setKey(QString::fromStdString(key));
        // Whichever comes first, the answer or the give-up, is the one told.
        auto once = std::make_shared<Done>(std::move(done));
        const auto tell = [once](KeyringAnswer answer) {
            if (!*once) return;
            const Done told = std::move(*once);
            *once = nullptr;
            told(std::move(answer));
        };
        QObject::connect(job, &QKeychain::Job::finished, context, [job, tell] {
            KeyringAnswer answer;
            answer.available =
                job->error() == QKeychain::NoError || job->error() == QKeychain::EntryNotFound;
            if (job->error() == QKeychain::NoError) answer.secret = job->textData().toStdString();
            tell(std::move(answer));
        });
        QTimer::singleShot(kKeyringGiveUpMs, context, [tell] { tell(KeyringAnswer{}); });
        job->start();
    }

    void Store(const std::string& key, const std::string& secret) override {
        auto* job = new QKeychain::WritePasswordJob(QString::fromLatin1(kKeyringService));
        job->setAutoDelete(true);
        job->setInsecureFallback(false);
        job->setKey(QString::fromStdString(key));
        job->setTextData(QString::fromStdString(secret));
        job->start();
    }
};

}  // namespace

std::shared_ptr<Keyring> MakeDesktopKeyring() {
    return std::make_shared<DesktopKeyring>();
}

}  // namespace quill
