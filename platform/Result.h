// Small value types that carry success or an error across component
// boundaries, so that no exception ever has to.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <variant>

namespace brindle::platform {

/// What went wrong: the system error number (errno) where there is one, and a
/// sentence for people.
struct Error {
  int code = 0;
  std::string message;
};

/// Either a value or an Error.
template <class T>
class Result {
 public:
  Result(T value) : m_state(std::move(value)) {}
  Result(Error error) : m_state(std::move(error)) {}

  bool ok() const { return std::holds_alternative<T>(m_state); }
  explicit operator bool() const { return ok(); }

  const T& value() const { return std::get<T>(m_state); }
  T& value() { return std::get<T>(m_state); }
  const Error& error() const { return std::get<Error>(m_state); }

 private:
  std::variant<T, Error> m_state;
};

/// Success, or an Error.
class Status {
 public:
  Status() = default;
  Status(Error error) : m_error(std::move(error)) {}

  static Status success() { return {}; }

  bool ok() const { return !m_error.has_value(); }
  explicit operator bool() const { return ok(); }
  const Error& error() const { return *m_error; }

 private:
  std::optional<Error> m_error;
};

}  // namespace brindle::platform
