#pragma once

// Registers the project classes; safe to call more than once.
void register_project_classes();
