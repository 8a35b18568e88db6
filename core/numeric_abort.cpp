#include "core/numeric_abort.h"

#include "core/error_message.h"

void report_numeric_abort(const numeric_abort& abort) { report_error(abort.what()); }
