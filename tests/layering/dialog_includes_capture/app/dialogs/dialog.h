#pragma once

#include "app/views/TDrawView.h"
#include "app/capture/capture_3.h"
