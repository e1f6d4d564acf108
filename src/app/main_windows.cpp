// Quorbel.exe: hands the form over to the Win32 runtime as its start-up object.
#include "platform/win32/win32_form.hpp"
#include "resources.h"
#include "selection/house_selection.hpp"
#include "window/main_window_layout.hpp"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
    return quorbel::win32::Run(instance, showCommand, quorbel::MainWindowLayout, quorbel::HouseSelection,
                               QUORBEL_ICON_GROUP);
}
