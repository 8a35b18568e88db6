#pragma once

// Registers the application shell's classes; safe to call more than once.
void register_shell_classes();
