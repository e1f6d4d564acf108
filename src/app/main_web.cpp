// The page's program: attaches the form, which the page's markup holds, to the web runtime as its
// start-up object.
#include "platform/web/web_form.hpp"
#include "selection/house_selection.hpp"

int main() { quorbel::web::Run(quorbel::HouseSelection); }
