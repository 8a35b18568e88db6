#pragma once

// Registers the creators of the diffraction-data classes with the class
// registry; safe to call more than once.
void register_xrd_classes();

// The two halves, each kept beside the classes it registers.
void register_data_file_classes();
void register_chain_classes();
