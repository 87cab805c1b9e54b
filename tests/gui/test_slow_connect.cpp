// A connect that takes its time: the window, its banners and the "Trying"
// line are on screen while it waits, and closing the window meanwhile ends
// the program quietly.
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QGuiApplication>
#include <QImage>
#include <QScreen>
#include <QTimer>
#include <functional>

#include "loopback_listener.h"
#include "session_fixture.h"
#include "ui/terminal/terminal_view.h"

namespace quill::test {
namespace {

// A loopback listener whose accept queue is full: the system drops further
// connection requests, so a connect to it waits (the client retries after
// about a second) until MakeRoom() takes the queued connection.
class FullListener {
  public:
    FullListener() {
        listener_ = ListenOnLoopback(0, port_);  // room for one waiting connection
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        address.sin_port = htons(static_cast<std::uint16_t>(port_));
        filler_ = ::socket(AF_INET, SOCK_STREAM, 0);
        ::connect(filler_, reinterpret_cast<sockaddr*>(&address), sizeof address);
    }
    ~FullListener() {
        for (int descriptor : {accepted_, filler_, listener_}) {
            if (descriptor >= 0) ::close(descriptor);
        }
    }

    int Port() const { return port_; }
    void MakeRoom() { accepted_ = ::accept(listener_, nullptr, nullptr); }

  private:
    int listener_ = -1;
    int filler_ = -1;
    int accepted_ = -1;
    int port_ = 0;
};

class SlowConnectTest : public SessionTest {
  protected:
    // Runs `during` once while start-up waits in the connect; records whether
    // it ran before the connect was over.
    void WhileConnecting(std::function<void()> during) {
        QTimer::singleShot(300, [this, during = std::move(during)] {
            ranWhileConnecting = Window().windowTitle() == "Session";
            during();
        });
    }
    int StartUpAgainst(const FullListener& listener) {
        return StartUp({"127.0.0.1", std::to_string(listener.Port())});
    }
    // The first text rows of the view as they are on screen now, and as a
    // fresh paint of the model draws them.
    QImage OnScreen(int rows) {
        const QImage window =
            QGuiApplication::primaryScreen()->grabWindow(Window().winId()).toImage();
        const QPoint origin = Window().View().mapTo(&Window(), QPoint(0, 0));
        return window.copy(QRect(origin, RowsSize(rows)));
    }
    QImage Rendered(int rows) {
        return Window().View().grab().toImage().copy(QRect(QPoint(0, 0), RowsSize(rows)));
    }
    QSize RowsSize(int rows) const {
        return {kColumns * app->Fonts().CellWidth, rows * app->Fonts().CellHeight};
    }

    bool ranWhileConnecting = false;
};

TEST_F(SlowConnectTest, WindowBannersAndTryingLineAreOnScreenWhileTheConnectWaits) {
    FullListener listener;
    QImage onScreen;
    QImage rendered;
    WhileConnecting([&] {
        onScreen = OnScreen(4);
        rendered = Rendered(4);
        listener.MakeRoom();
    });
    EXPECT_EQ(StartUpAgainst(listener), Application::kStarted);
    EXPECT_EQ(Window().windowTitle(), "127.0.0.1");
    ASSERT_TRUE(ranWhileConnecting);
    EXPECT_EQ(ScreenRow(3).substr(0, 17), "Trying 127.0.0.1 ");
    ASSERT_FALSE(onScreen.isNull());
    ASSERT_EQ(onScreen.convertToFormat(QImage::Format_RGB32),
              rendered.convertToFormat(QImage::Format_RGB32))
        << "banners and the Trying line painted as the model holds them";
    // The row of the Trying line is not a blank band.
    const int top = 3 * app->Fonts().CellHeight;
    bool ink = false;
    for (int y = top; y < top + app->Fonts().CellHeight && !ink; ++y) {
        for (int x = 0; x < onScreen.width() && !ink; ++x) {
            ink = onScreen.pixel(x, y) != onScreen.pixel(0, top);
        }
    }
    EXPECT_TRUE(ink);
}

TEST_F(SlowConnectTest, ClosingTheWindowWhileTheConnectWaitsEndsTheProgramWithZero) {
    FullListener listener;
    WhileConnecting([this] { Window().close(); });
    EXPECT_EQ(StartUpAgainst(listener), Application::kStarted);
    EXPECT_TRUE(ranWhileConnecting);
    EXPECT_TRUE(Window().Destroyed());
    EXPECT_TRUE(app->QuitPosted());
    EXPECT_TRUE(boxes.empty())
        << "no \"Cannot open the connection\" for a window closed by its user";
    EXPECT_EQ(app->MessageLoop(), 0);
}

}  // namespace
}  // namespace quill::test
