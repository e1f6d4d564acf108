// A text as a JSON string, for the build-time writers of JSON (the web app's manifest, the tests'
// table): quotes, backslashes and every control character escaped.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace quorbel {

inline std::string JsonQuoted(std::string_view text) {
    std::string out = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char escaped[7];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c));
            out += escaped;
        } else {
            out += c;
        }
    }
    return out + '"';
}

}  // namespace quorbel
