#pragma once

#include "app/shell/for_app_3.h"
#include "app/views/TDrawView.h"
