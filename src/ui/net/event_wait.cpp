#include "ui/net/event_wait.h"

#include <QCoreApplication>
#include <QTimer>

namespace quill {
namespace {

// How often a wait lets the window paint.
constexpr int kWaitSliceMs = 20;

}  // namespace

void WaitInSlices(const std::function<bool()>& keepWaiting) {
    QTimer wake;  // the wait below returns at least this often
    wake.start(kWaitSliceMs);
    while (keepWaiting()) {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents |
                                        QEventLoop::WaitForMoreEvents);
    }
}

}  // namespace quill
