#pragma once

#include "app/qt/main_window.h"
#include "app/shell/for_app_3.h"
