#pragma once

// Registers the graph views' classes; safe to call more than once.
void register_view_classes();
