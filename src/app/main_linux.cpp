// The quorbel program: hands the form over to the Qt runtime as its start-up object.
#include "platform/qt/qt_runtime.hpp"
#include "selection/house_selection.hpp"
#include "window/main_window_layout.hpp"

#include "quorbel_icon.hpp"

int main(int argc, char** argv) {
    const quorbel::qt::IconPixels icon{quorbel::icon::kWidth, quorbel::icon::kHeight, quorbel::icon::kArgb};
    return quorbel::qt::Run(argc, argv, quorbel::MainWindowLayout, quorbel::HouseSelection, icon);
}
