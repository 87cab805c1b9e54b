#pragma once

#include <QObject>
#include <QString>
#include <QTimer>
#include <deque>
#include <functional>
#include <variant>

#include "core/interfaces/key.h"

namespace quill {

// A key the user typed while a paste was still going out: it goes after it.
// The brackets around a paste the host asked for queue the same way.
struct TypedKey {
    enum class Path { kKey, kCharacter, kPasteBracket };
    Path path;
    char32_t code = 0;  // a whole character, or 1 for the start bracket
    KeyPress key{};
};

// What the paste queue hands on, and when it may.
struct PasteSink {
    // There is room in the outbound queue for another slice.
    std::function<bool()> hasRoom;
    // A whole pasted character (a surrogate pair is one).
    std::function<void(char32_t character)> sendPasted;
    std::function<void(const TypedKey& key)> sendTyped;
    // Brackets each slice, so that its bytes can go out as one send.
    std::function<void()> beginSlice;
    std::function<void()> endSlice;
};

// Hands pasted text to the host in slices between events, so that a large
// paste never holds the window: reading, painting and menus go on in between.
// A slice is handed over only while the outbound queue has room, so a paste
// never makes the program stop reading on its own. Keys typed during a paste
// and a second paste wait their turn behind it.
class PasteQueue : public QObject {
  public:
    // Characters in one slice at most.
    static constexpr int kSliceCharacters = 16 * 1024;

    explicit PasteQueue(PasteSink sink);

    void Paste(const QString& text);
    // True while anything waits: a key typed now must wait behind it.
    bool Busy() const { return !pending_.empty(); }
    void Type(const TypedKey& key) { Append(key); }
    // The outbound queue has room again.
    void Resume();
    // Drops what has not been handed over (the window is going).
    void Clear();

  private:
    void Append(std::variant<QString, TypedKey> item);
    void SendSlice();
    // Hands on the next typed key, or the next character of the text in front.
    void SendNext();

    PasteSink sink_;
    std::deque<std::variant<QString, TypedKey>> pending_;
    qsizetype offset_ = 0;  // into the text in front
    QTimer timer_;
};

}  // namespace quill
