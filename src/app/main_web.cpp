// The page's program: hands the form over to the web runtime as its start-up object.
#include "platform/web/web_form.hpp"
#include "selection/house_selection.hpp"
#include "window/main_window_layout.hpp"

int main() { quorbel::web::Run(quorbel::MainWindowLayout, quorbel::HouseSelection); }
