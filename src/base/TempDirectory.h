#pragma once

#include <QString>

// The folder for temporary files, always ending with "/". The system's temporary folder,
// created when missing; when that cannot be made or written, the first writable of the
// program's folder, the user's cache folder, the home folder and the current folder.
QString GetTempDirectory();
