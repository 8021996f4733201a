#pragma once
// Lends the desktop program's file dialogs what they need from the program: the data folder's
// kept folders (nothing chosen for writing may go there) and the settings store that keeps
// each kind's last folder. Called once after start-up has filled the paths. UI thread.
#include "app/core/AppContext.h"

namespace tavora::app {

void installFileDialogPlaces(const AppContext& ctx);

} // namespace tavora::app
