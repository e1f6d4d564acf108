/* Resource ids and version data of Quorbel.exe, shared by the program and its resource script. */
#pragma once

#define QUORBEL_ICON_GROUP 1
#define QUORBEL_ICON_IMAGE 30001

#define QUORBEL_VERSION_BINARY 1, 0, 0, 0
#define QUORBEL_VERSION_TEXT "1.00"
#define QUORBEL_PUBLISHER "www.quorbel.example"
#define QUORBEL_PRODUCT "Quorbel"
