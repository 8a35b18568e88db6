#pragma once

// Registers the dialogs' classes; safe to call more than once.
void register_dialog_classes();
