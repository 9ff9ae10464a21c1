// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The two error types of the core: a floating-point fault and a failed number conversion.

#include <stdexcept>
#include <string>

// Division by zero, invalid operation or overflow detected in the core's arithmetic. what() is an
// English text for logs and tests; Fault and Stage say the same for a translation shown to a person.
class FloatingPointError : public std::runtime_error {
public:
    enum class FaultKind { Unknown, DivisionByZero, Invalid, Overflow };
    // The part of a time step that met the fault (Other outside the time step).
    enum class StepStage { Other, Velocity, Field, Stress, Voltage };

    using std::runtime_error::runtime_error;
    FloatingPointError(const std::string &what, FaultKind fault, StepStage stage)
        : std::runtime_error(what), Fault(fault), Stage(stage) {}

    FaultKind Fault = FaultKind::Unknown;
    StepStage Stage = StepStage::Other;
};

// A text that is not a number; what() is "'<text>' is not a valid floating point value".
class ConversionError : public std::runtime_error {
public:
    explicit ConversionError(const std::string &text)
        : std::runtime_error("'" + text + "' is not a valid floating point value") {}
};
