#pragma once

#include <QStringList>

// Start-up and shut-down of the controls: called once by the program after the
// application object exists, and before it goes. Start-up creates the skin manager,
// reads the iconsDir switch from AArguments, fills the two global image lists, prepares
// the shared cell bitmap, the drag cursor and drop mark and the grid painter, and
// registers the skins. Shut-down releases them in reverse order.
void ControlsStartup(const QStringList& AArguments);
void ControlsShutdown();
