#pragma once

#include "app/platform/platform.h"
#include "app/shell/for_app_3.h"
