// Failure messages, and how a run-time error leaves the code that raised it.
#include "window/failure.hpp"

#include <cstring>

namespace quorbel {

FailureMessage& FailureMessage::operator<<(std::string_view text) {
    std::size_t take = text.size();
    const std::size_t room = text_.size() - 1 - length_;
    if (take > room) {
        take = room;
        // Never half a character: back off over UTF-8 continuation bytes.
        while (take > 0 && (static_cast<unsigned char>(text[take]) & 0xC0) == 0x80) --take;
    }
    std::memcpy(text_.data() + length_, text.data(), take);
    length_ += take;
    text_[length_] = '\0';
    return *this;
}

FailureMessage& FailureMessage::operator<<(long number) {
    // Written out rather than through the C library's formatting, which the Windows program would
    // carry whole for this one number.
    std::array<char, 24> digits{};
    std::size_t at = digits.size();
    unsigned long magnitude = number < 0 ? 0ul - static_cast<unsigned long>(number) : static_cast<unsigned long>(number);
    do {
        digits[--at] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    if (number < 0) digits[--at] = '-';
    return *this << std::string_view(digits.data() + at, digits.size() - at);
}

void RaiseRunTimeError(const FailureMessage& message) {
#if defined(__cpp_exceptions)
    throw RuntimeError(message);
#else
    EndWithFailure(message.View());
#endif
}

}  // namespace quorbel
