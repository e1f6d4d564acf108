// What a failed operation does, for every runtime: the message the user reads and the one way out
// of the code that failed. A runtime supplies only how the message is shown and how the program ends.
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

#if defined(__cpp_exceptions)
#include <exception>
#include <new>
#endif

namespace quorbel {

// Every message the program shows about a failure starts so, in Bulgarian like all its words.
inline constexpr std::string_view kRunTimeErrorPrefix = "Грешка при изпълнение: ";

namespace detail {
// The prefix and a text as one constant message.
template <const std::string_view& Text>
struct Prefixed {
    static constexpr auto chars = [] {
        std::array<char, kRunTimeErrorPrefix.size() + Text.size()> joined{};
        for (std::size_t i = 0; i < joined.size(); ++i)
            joined[i] = i < kRunTimeErrorPrefix.size() ? kRunTimeErrorPrefix[i] : Text[i - kRunTimeErrorPrefix.size()];
        return joined;
    }();
    static constexpr std::string_view value{chars.data(), chars.size()};
};
inline constexpr std::string_view kOutOfMemoryText = "няма достатъчно памет.";
inline constexpr std::string_view kUnexpectedFailureText = "неочаквана грешка.";
}  // namespace detail

// Memory ran out.
inline constexpr std::string_view kOutOfMemory = detail::Prefixed<detail::kOutOfMemoryText>::value;
// Anything else that went wrong, which nothing the program does should raise.
inline constexpr std::string_view kUnexpectedFailure = detail::Prefixed<detail::kUnexpectedFailureText>::value;

// Where the program cannot start at all, which only the page meets: its scripts are switched off
// or blocked by the site, or the browser runs neither build of the core.
inline constexpr std::string_view kScriptsBlocked = "Тази страница има нужда от JavaScript.";
inline constexpr std::string_view kCannotStart = "Тази страница не може да работи в този браузър.";

// A failure's message, put together without the heap so that even running out of memory can be
// reported. Longer text is cut at a whole character.
class FailureMessage {
public:
    FailureMessage() = default;
    explicit FailureMessage(std::string_view text) { *this << text; }
    FailureMessage& operator<<(std::string_view text);
    FailureMessage& operator<<(long number);

    std::string_view View() const { return {text_.data(), length_}; }
    const char* CString() const { return text_.data(); }

private:
    std::array<char, 512> text_{};  // always ends in a zero
    std::size_t length_ = 0;
};

// A control operation failed: ends the operation that raised it. Where the build has exceptions it
// is thrown as RuntimeError and Trap below hands its message to the runtime, which can take control
// back; without, EndWithFailure shows it and ends the program where it happened.
[[noreturn]] void RaiseRunTimeError(const FailureMessage& message);

// Supplied by a runtime built without exceptions: shows the message and ends the program.
[[noreturn]] void EndWithFailure(std::string_view message) noexcept;

#if defined(__cpp_exceptions)
class RuntimeError : public std::exception {
public:
    explicit RuntimeError(const FailureMessage& message) : message_(message) {}
    const char* what() const noexcept override { return message_.CString(); }
    std::string_view Message() const { return message_.View(); }

private:
    FailureMessage message_;
};

// The one trap, for runtimes whose toolkit needs control back: runs `work`; should it fail in any
// way, `fail` gets the message the user reads, while whatever failed still exists, and nothing
// escapes into the caller's frames.
template <typename Work, typename Fail>
void Trap(Work&& work, Fail&& fail) noexcept {
    try {
        work();
    } catch (const RuntimeError& error) {
        fail(error.Message());
    } catch (const std::bad_alloc&) {
        fail(kOutOfMemory);
    } catch (...) {
        fail(kUnexpectedFailure);
    }
}
#endif

}  // namespace quorbel
