#include "ui/app/paste_queue.h"

namespace quill {

PasteQueue::PasteQueue(PasteSink sink) : sink_(std::move(sink)) {
    timer_.setSingleShot(true);
    connect(&timer_, &QTimer::timeout, this, &PasteQueue::SendSlice);
}

void PasteQueue::Paste(const QString& text) {
    if (!text.isEmpty()) Append(text);
}

void PasteQueue::Append(std::variant<QString, TypedKey> item) {
    pending_.push_back(std::move(item));
    Resume();
}

void PasteQueue::Resume() {
    if (Busy() && !timer_.isActive()) timer_.start(0);
}

void PasteQueue::Clear() {
    timer_.stop();
    pending_.clear();
    offset_ = 0;
}

void PasteQueue::SendSlice() {
    if (!sink_.hasRoom()) return;  // Resume() comes when the queue has drained
    sink_.beginSlice();
    for (int sent = 0; sent < kSliceCharacters && Busy() && sink_.hasRoom(); ++sent) SendNext();
    sink_.endSlice();
    if (Busy() && sink_.hasRoom()) timer_.start(0);  // after the events that wait
}

void PasteQueue::SendNext() {
    if (const auto* key = std::get_if<TypedKey>(&pending_.front())) {
        sink_.sendTyped(*key);
        pending_.pop_front();
        return;
    }
    const QString& text = std::get<QString>(pending_.front());
    char32_t character = text.at(offset_++).unicode();
    if (QChar::isHighSurrogate(character) && offset_ < text.size() &&
        text.at(offset_).isLowSurrogate()) {
        character = QChar::surrogateToUcs4(static_cast<char16_t>(character), text.at(offset_++));
    }
    sink_.sendPasted(character);
    if (offset_ == text.size()) {
        pending_.pop_front();
        offset_ = 0;
    }
}

}  // namespace quill
