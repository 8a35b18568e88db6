#pragma once

// Registers the classes of capture and the xy report; safe to call more
// than once.
void register_capture_classes();
