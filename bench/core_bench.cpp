// The cost of one click on the headless form, where every assignment raises Click: the handlers,
// the nesting and the control operations, with no toolkit around them.
#include <benchmark/benchmark.h>

#include "platform/headless/headless_form.hpp"
#include "selection/house_selection.hpp"

namespace {

using quorbel::Index;
using quorbel::headless::HeadlessForm;

// A click on a list row that moves every control to another house.
void ListClick(benchmark::State& state) {
    HeadlessForm form(quorbel::MainWindowLayout, quorbel::HouseSelection);
    Index house = 0;
    for (auto _ : state) {
        house = static_cast<Index>((house + 2) % 5);
        form.ClickListRow(static_cast<Index>(house % 4), house);
        benchmark::DoNotOptimize(form.TextOf(0).data());
    }
}
BENCHMARK(ListClick);

void OptionClick(benchmark::State& state) {
    HeadlessForm form(quorbel::MainWindowLayout, quorbel::HouseSelection);
    Index house = 0;
    for (auto _ : state) {
        house = static_cast<Index>((house + 2) % 5);
        form.ClickOption(house);
        benchmark::DoNotOptimize(form.TextOf(0).data());
    }
}
BENCHMARK(OptionClick);

}  // namespace

BENCHMARK_MAIN();
