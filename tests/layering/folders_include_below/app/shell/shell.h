#pragma once

#include "app/analysis/size_strain_command.h"
#include "app/platform/platform.h"
#include "app/project/proj_open_3.h"
#include "app/shell/for_app_3.h"
#include "app/views/TDrawView.h"
