#pragma once

#include <stdexcept>
#include <string>

namespace dw {

// An error that leaves an event handler; the application's error box shows its text.
class Exception : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// A failed read or write of the data file; the code is the pending I/O error
// (100 read beyond end of file, 101 disk full, others as the system gave them).
class EInOutError : public Exception
{
public:
    EInOutError(int code, const std::string& message) : Exception(message), ErrorCode(code) {}
    int ErrorCode;
};

// A value that cannot be converted, such as a time of 24:00.
class EConvertError : public Exception
{
public:
    using Exception::Exception;
};

} // namespace dw
