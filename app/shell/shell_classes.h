#pragma once

// Registers the application shell's classes and installs the graph views'
// commands; safe to call more than once.
void register_shell_classes();
