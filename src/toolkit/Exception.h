#pragma once

#include <stdexcept>

namespace toolkit {

// Base of every error the program reports to the user. The toolkit's own
// messages read the same in the window and the batch tool; errors of the
// layers above carry what went wrong and leave the telling to the front end.
class Exception : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Text that is not an integer.
class EConvertError : public Exception {
public:
    using Exception::Exception;
};

// A value that must be held as a double but lies outside its range.
class EOverflow : public Exception {
public:
    EOverflow() : Exception("Floating point overflow") {}
};

} // namespace toolkit
