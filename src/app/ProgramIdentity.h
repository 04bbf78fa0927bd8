#pragma once

// The names the program gives the application object at start.
class ProgramIdentity {
public:
    ProgramIdentity() = delete;

    // Application and organisation names. The program's title is deliberately not made the
    // application display name: the platform appends that name to every window caption, and
    // the main window's caption must stand as it is. Error boxes take the title from
    // AppExceptionHandler.
    static void Apply();
};
