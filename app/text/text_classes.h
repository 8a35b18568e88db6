#pragma once

// Registers the classes of the text documents and the text font; safe to
// call more than once.
void register_text_classes();
