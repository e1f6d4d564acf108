// Writes the web app's manifest from the window layout: the form's name as its identity and name,
// its title as the description, the form's colour for the installed window and its splash, and the page's icons.
//   quorbel_web_app_manifest OUT.webmanifest ICON-FILE:SIZE...
#include <cstdio>
#include <string>
#include <string_view>

#include "app/json_text.hpp"
#include "window/main_window_layout.hpp"

namespace {

using quorbel::JsonQuoted;

std::string Colour(quorbel::Rgb rgb) {
    char hex[8];
    std::snprintf(hex, sizeof hex, "#%02x%02x%02x", rgb.red, rgb.green, rgb.blue);
    return JsonQuoted(hex);
}

std::string_view Title(const quorbel::WindowLayout& layout) {
    for (const quorbel::ControlDescription& c : layout.controls)
        if (c.heading) return c.text;
    return layout.form.name;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fputs("usage: quorbel_web_app_manifest OUT.webmanifest ICON-FILE:SIZE...\n", stderr);
        return 2;
    }
    const quorbel::FormDescription& form = quorbel::MainWindowLayout.form;
    std::string icons;
    for (int i = 2; i < argc; ++i) {
        const std::string_view icon = argv[i];
        const std::size_t colon = icon.rfind(':');
        const std::string_view size = icon.substr(colon + 1);
        if (!icons.empty()) icons += ",\n";
        icons += "    {\"src\": " + JsonQuoted(icon.substr(0, colon)) + ", \"sizes\": " +
                 JsonQuoted(std::string(size) + "x" + std::string(size)) +
                 ", \"type\": \"image/png\", \"purpose\": \"any\"}";
    }
    // The app's identity, which stays when its start page moves: the program's name, on the site's
    // root (a relative id is taken from the site, not the folder).
    const std::string manifest = "{\n  \"id\": " + JsonQuoted("/" + std::string(form.name)) + ",\n  \"name\": " + JsonQuoted(form.name) + ",\n  \"short_name\": " +
                                 JsonQuoted(form.name) + ",\n  \"description\": " + JsonQuoted(Title(quorbel::MainWindowLayout)) +
                                 ",\n  \"lang\": \"bg\",\n  \"dir\": \"ltr\",\n  \"start_url\": \"./\",\n" +
                                 "  \"scope\": \"./\",\n  \"display\": \"standalone\",\n" +
                                 "  \"background_color\": " + Colour(form.backColor) + ",\n" +
                                 "  \"theme_color\": " + Colour(form.backColor) + ",\n  \"icons\": [\n" +
                                 icons + "\n  ]\n}\n";
    std::FILE* out = std::fopen(argv[1], "wb");
    if (!out || std::fwrite(manifest.data(), 1, manifest.size(), out) != manifest.size() || std::fclose(out) != 0) {
        std::perror(argv[1]);
        return 1;
    }
}
