// Text between the core's UTF-8 and Windows' UTF-16.
#pragma once

#include <windows.h>

#include <memory>
#include <string_view>

#include "window/control_services.hpp"

namespace quorbel::win32 {

// A UTF-8 text as UTF-16 for Windows, owned, zero-terminated.
class WideText {
public:
    explicit WideText(std::string_view utf8) {
        const int size = utf8.empty() ? 0 : MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
        chars_ = std::make_unique<wchar_t[]>(static_cast<std::size_t>(size) + 1);
        if (size > 0) MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), chars_.get(), size);
    }
    const wchar_t* c_str() const { return chars_.get(); }

private:
    std::unique_ptr<wchar_t[]> chars_;
};

// LENGTH UTF-16 characters as the core's UTF-8 text.
inline Text Narrow(const wchar_t* wide, int length) {
    const int size = length > 0 ? WideCharToMultiByte(CP_UTF8, 0, wide, length, nullptr, 0, nullptr, nullptr) : 0;
    Text utf8(static_cast<std::size_t>(size));
    if (size > 0) WideCharToMultiByte(CP_UTF8, 0, wide, length, utf8.Data(), size, nullptr, nullptr);
    return utf8;
}

}  // namespace quorbel::win32
