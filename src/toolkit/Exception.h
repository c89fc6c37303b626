#pragma once

#include <stdexcept>
#include <string>

namespace toolkit {

// Base of every error the program reports to the user; what() is the
// message shown.
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
