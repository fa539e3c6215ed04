#pragma once

#include <stdexcept>

namespace settings {

// Thrown when a settings file cannot be read, runs out of lines, or holds a value that is not
// a number or that the window or the text area cannot take. Start-up's failure path catches it.
class SettingsError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

} // namespace settings
