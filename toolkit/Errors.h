// The program's error types: lower layers raise them, the toolkit reports them.
#pragma once

#include <cstdint>
#include <exception>
#include <stdexcept>
#include <string>
#include <utility>

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

// Runs Work and hands whatever it raises to Report, so that no error gets past: the one
// catch-and-report that stands between our code and a caller that must never see an exception
// (a window procedure, a message loop, a COM callback). An error of no known kind reaches
// Report as an Exception with the text Unknown. Returns whether Work ran to its end.
template <typename TWork, typename TReport>
bool CatchAndReport(TWork&& Work, TReport&& Report,
                    const char* Unknown = "An unexpected error occurred") {
  try {
    std::forward<TWork>(Work)();
    return true;
  } catch (const std::exception& E) {
    Report(E);
  } catch (...) {
    Report(Exception(Unknown));
  }
  return false;
}
