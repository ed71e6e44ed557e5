#pragma once

#include <memory>

#include "app/AppServices.h"
#include "app/Form1.h"

namespace app {

// Lets every subsystem attach its controller to the window: one line per subsystem. A
// controller connects to the controls' signals and is a QObject child of the window, so it
// lives exactly as long as the window. Runs after the controls exist and before Form_Load.
void AttachControllers(Form1& form, AppServices& services);

// Builds the window, attaches the controllers and runs start-up (Form_Load). The window is not
// shown yet; when start-up ended the program (form->Ended()), it must not be shown.
std::unique_ptr<Form1> CreateMainWindow(AppServices& services);

// Shows the window centred on the screen that holds the pointer, its design scaled down as far
// as needed for the whole window to fit that screen's available area.
void ShowMainWindow(Form1& form);

}  // namespace app
