#pragma once
// The language module as the source of the window layer's resources (dialog
// templates): the application sets it at start-up; dialogs made earlier, and
// tests, get it here on first use.
namespace afx {

// Makes the language module the window layer's resource module when none is set
// yet; win::Error_t when the module cannot be loaded.
void EnsureResourceHandle();

}  // namespace afx
