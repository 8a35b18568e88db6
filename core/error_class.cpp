#include "core/error_class.h"

error_class::~error_class() = default;

void error_class::add_error(const char* text) { error_text.append(text); }
