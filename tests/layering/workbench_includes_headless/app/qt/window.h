#pragma once

#include "app/headless/headless_platform.h"
#include "app/shell/for_app_3.h"
