// N clicks on the headless form and nothing else, for counting instructions under callgrind:
// the difference between N and 0 clicks, divided by N, is the cost of one click.
#include <cstdio>
#include <cstdlib>

#include "platform/headless/headless_form.hpp"
#include "selection/house_selection.hpp"

int main(int argc, char** argv) {
    const int clicks = argc > 1 ? std::atoi(argv[1]) : 1000;
    quorbel::headless::HeadlessForm form(quorbel::MainWindowLayout, quorbel::HouseSelection);
    for (int i = 0; i < clicks; ++i) {
        const auto house = static_cast<quorbel::Index>((i * 2 + 1) % 5);
        if (i % 2)
            form.ClickOption(house);
        else
            form.ClickListRow(static_cast<quorbel::Index>(i % 4), house);
    }
    std::printf("%d\n", static_cast<int>(form.TextOf(0).size()));
    return 0;
}
