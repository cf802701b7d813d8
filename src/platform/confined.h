// Creating directories and files below one starting directory without ever
// leaving it through a symbolic link: every component is opened relative to
// its parent's descriptor, and no existing link is followed, so a hostile
// name or a planted link cannot redirect a write elsewhere.
#pragma once

#include <string_view>

#include "platform/file.h"

namespace kx::platform {

enum class DirStep {
    Ok,
    NotDirectory,   // the component exists but is not a directory (a link counts as not one)
    CannotCreate,   // missing and could not be made, or could not be opened
};

class ConfinedDir {
public:
    // Opens the starting directory (the current directory for "." ).
    bool open_start(std::string_view dir);
    // Steps into the sub-directory `name` of the directory held now,
    // creating it when missing. `name` is one component: no separators.
    DirStep enter(std::string_view name);
    // Creates (or truncates) the regular file `name` in the directory held
    // now, for writing. An existing symbolic link of that name is removed and
    // replaced by the new file rather than followed. An invalid Fd on failure.
    Fd create_file(std::string_view name);

private:
    Fd dir_;
};

} // namespace kx::platform
