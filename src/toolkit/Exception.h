#pragma once

#include <stdexcept>
#include <string>

namespace toolkit {

// A message in the batch tool's language and in the window's.
struct Message {
    std::string english;
    std::string russian;
};

inline Message operator+(Message a, const Message& b)
{
    return {a.english + b.english, a.russian + b.russian};
}

// Text that reads the same in both, as a number or a file's name.
inline Message Same(const std::string& text)
{
    return {text, text};
}

// Base of every error the program reports to the user; what() is the
// message the batch tool writes, WindowText() the one the window shows.
class Exception : public std::runtime_error {
public:
    // The conversions' messages read the same in the window.
    using std::runtime_error::runtime_error;
    explicit Exception(const Message& message) : std::runtime_error(message.english), russian_(message.russian) {}

    // The Russian message where one was given, else what().
    std::string WindowText() const { return russian_.empty() ? what() : russian_; }
    Message Text() const { return {what(), WindowText()}; }

private:
    std::string russian_;
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
