#pragma once

// Makes the program's images and skins available as resources. They are compiled into
// a static library, so their registration has to be pulled in explicitly; calling this
// more than once is harmless.
void EnsureControlsResources();
