#pragma once

#include "app/platform/platform.h"
