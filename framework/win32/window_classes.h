#pragma once

namespace pogoda {

// Registers the framework's window classes (TForm, TButton, TProgressBar, TPanel, TImage,
// TLabel, TPopupMenu, TMenuItem) and their published properties with the class registry.
// Safe to call more than once.
void RegisterWindowClasses();

}  // namespace pogoda
