// The Windows program's failure path: nothing unwinds; a failure is shown where it happens and
// ends the program.
#include "platform/win32/win32_failure.hpp"

#include <array>
#include <cstdlib>
#include <new>

namespace quorbel::win32 {

namespace {

struct FailureReport {
    HWND owner = nullptr;
    std::string_view caption;
    bool ending = false;
};
FailureReport failureReport;

// UTF-8 to UTF-16 in a buffer of the caller's: a failure is shown without the heap, which may be
// what ran out.
template <std::size_t N>
const wchar_t* WideInto(std::array<wchar_t, N>& buffer, std::string_view utf8) {
    const int written = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), buffer.data(),
                                            static_cast<int>(buffer.size() - 1));
    buffer[static_cast<std::size_t>(written > 0 ? written : 0)] = L'\0';
    return buffer.data();
}

}  // namespace

void ShowFailuresOver(HWND owner, std::string_view caption) {
    failureReport.owner = owner;
    failureReport.caption = caption;
}

void FailedTo(std::string_view what) {
    const DWORD error = GetLastError();
    FailureMessage message(kRunTimeErrorPrefix);
    message << what;
    std::array<wchar_t, 256> reason{};
    DWORD length = error ? FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error,
                                          0, reason.data(), static_cast<DWORD>(reason.size()), nullptr)
                         : 0;
    while (length > 0 && (reason[length - 1] == L'\r' || reason[length - 1] == L'\n' || reason[length - 1] == L' '))
        --length;
    std::array<char, 512> utf8{};
    const int size = length ? WideCharToMultiByte(CP_UTF8, 0, reason.data(), static_cast<int>(length), utf8.data(),
                                                  static_cast<int>(utf8.size()), nullptr, nullptr)
                            : 0;
    if (size > 0)
        message << ": " << std::string_view(utf8.data(), static_cast<std::size_t>(size));
    else if (error)
        message << " (код " << static_cast<long>(error) << ").";
    else
        message << ".";
    EndWithFailure(message.View());
}

}  // namespace quorbel::win32

namespace quorbel {

// The Windows program has nothing to unwind to: a failure is shown where it happens and ends the
// program with status 1.
void EndWithFailure(std::string_view message) noexcept {
    win32::FailureReport& report = win32::failureReport;
    if (report.ending) ExitProcess(1);  // failed again while showing the first: end at once
    report.ending = true;
    std::array<wchar_t, 600> text{}, caption{};
    MessageBoxW(report.owner, win32::WideInto(text, message), win32::WideInto(caption, report.caption),
                MB_OK | MB_ICONERROR);
    ExitProcess(1);
}

}  // namespace quorbel

