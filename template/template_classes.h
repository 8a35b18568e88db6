#pragma once

// Registers the template layer's classes (the template node kinds); safe to
// call more than once.
void register_template_classes();
