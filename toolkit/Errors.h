// The program's error types: lower layers raise them, the toolkit reports them.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

// Base of every error the program raises; Message is the text the user sees.
class Exception : public std::runtime_error {
public:
  explicit Exception(const std::string& Message) : std::runtime_error(Message) {}
  std::string Message() const { return what(); }
};

// A file could not be created, written or closed; ErrorCode is the system's error code.
class EInOutError : public Exception {
public:
  EInOutError(const std::string& Message, uint32_t ErrorCode)
      : Exception(Message), ErrorCode(ErrorCode) {}
  uint32_t ErrorCode;
};

// A COM call failed with ErrorCode (an HRESULT); start-up recovers from this kind only.
class EOleSysError : public Exception {
public:
  EOleSysError(const std::string& Message, int32_t ErrorCode)
      : Exception(Message), ErrorCode(ErrorCode) {}
  int32_t ErrorCode;
};

// A COM object rejected a call and said why: Message is the object's own text.
class EOleException : public EOleSysError {
public:
  EOleException(const std::string& Message, int32_t ErrorCode)
      : EOleSysError(Message, ErrorCode) {}
};
