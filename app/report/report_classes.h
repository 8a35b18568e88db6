#pragma once

// Registers the report editor's classes; safe to call more than once.
void register_report_classes();
