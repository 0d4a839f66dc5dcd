#pragma once

namespace vcd2 {

// Outcome of an operation. A failing operation reports its one message
// through ReportError before it returns a failed Status; callers only pass
// the failure on.
class [[nodiscard]] Status {
 public:
  constexpr Status(bool ok) : ok_(ok) {}  // NOLINT(google-explicit-constructor)
  constexpr explicit operator bool() const { return ok_; }

 private:
  bool ok_;
};

}  // namespace vcd2
