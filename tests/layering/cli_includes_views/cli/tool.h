#pragma once

#include "app/shell/application_session.h"
#include "app/views/TDrawView.h"
