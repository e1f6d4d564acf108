/* Resource ids and version data of Quorbel.exe, shared by the program and its resource script. */
#pragma once

#define QUORBEL_ICON_GROUP 1
#define QUORBEL_ICON_IMAGE 30001

#include "version.h"
#define QUORBEL_PUBLISHER "www.quorbel.example"
#define QUORBEL_PRODUCT "Quorbel"
