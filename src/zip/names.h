// Member selection and member names: the wildcard pattern that picks
// members, and the mapping of a stored name to a path below the target
// directory.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kx::zip {

// Whole-name wildcard match. Plain characters match either case; "?" any
// one character; "*" any run (separators included), tried only where the
// name holds exactly the next pattern character (every position when that
// is "["); "[...]" a set with ranges, "!" or "^" negation and "\" quoting,
// compared with case. An unclosed set or "[]" matches nothing.
bool pattern_match(std::string_view pattern, std::string_view name);

// A stored name mapped to a path.
struct MappedName {
    std::vector<std::string> dirs;  // directory parts, in order (empty and "." parts left out)
    std::string file;               // the last part; empty for a directory entry or a name that maps to nothing
    std::string path;               // the parts joined with '/', as reported to the callback
    bool directory_entry = false;   // the stored name ends in '/'
    bool refused = false;           // absolute, or a ".." part: would leave the target directory
};

// Maps character by character: '/' and '\' separate parts; ':' becomes '_';
// ';' ends the name; text in <...> and [...] is dropped; 0x16 makes the next
// character literal; control characters and 0xFF are dropped.
MappedName map_member_name(std::string_view name);

} // namespace kx::zip
