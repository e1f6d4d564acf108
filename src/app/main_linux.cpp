// The quorbel program: hands the form over to the Qt runtime as its start-up object.
#include "platform/qt/qt_runtime.hpp"
#include "selection/house_selection.hpp"
#include "window/main_window_layout.hpp"

#include "icon/quorbel.xpm"

int main(int argc, char** argv) {
    return quorbel::qt::Run(argc, argv, quorbel::MainWindowLayout, quorbel::HouseSelection, quorbel_icon_xpm);
}
