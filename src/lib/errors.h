#pragma once
// Errors that no routine catches: they end the event action in progress and are
// shown in the application's error box with their text.
#include <stdexcept>
#include <string>

namespace tarvex {

// A text that is not a valid integer, date or time: "'%s' is not a valid ..."
class ConvertError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// "'%s' is not a valid integer value" (toInt).
class IntegerConvertError : public ConvertError {
public:
    explicit IntegerConvertError(const std::string& text)
        : ConvertError("'" + text + "' is not a valid integer value") {}
};

class DateConvertError : public ConvertError {
public:
    explicit DateConvertError(const std::string& text)
        : ConvertError("'" + text + "' is not a valid date") {}
};

class TimeConvertError : public ConvertError {
public:
    explicit TimeConvertError(const std::string& text)
        : ConvertError("'" + text + "' is not a valid time") {}
};

// A file that could not be opened, read or written; the text names the file.
class FileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

}  // namespace tarvex
