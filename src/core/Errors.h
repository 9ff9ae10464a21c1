#pragma once
// The two error types of the core: a floating-point fault and a failed number conversion.

#include <stdexcept>
#include <string>

// Division by zero, invalid operation or overflow detected in the core's arithmetic.
class FloatingPointError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A text that is not a number; what() is "'<text>' is not a valid floating point value".
class ConversionError : public std::runtime_error {
public:
    explicit ConversionError(const std::string &text)
        : std::runtime_error("'" + text + "' is not a valid floating point value") {}
};
