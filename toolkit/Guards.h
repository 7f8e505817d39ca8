// Scoped guards: a flag held for the length of a piece of work, however the work ends.
#pragma once

// Sets Flag for its lifetime, then gives it back the value it had. A layout run inside another
// one therefore leaves the outer one's flag set, and a flag set for good stays set.
class TFlagGuard {
public:
  explicit TFlagGuard(bool& Flag) : Flag(Flag), Before(Flag) { Flag = true; }
  ~TFlagGuard() { Flag = Before; }
  TFlagGuard(const TFlagGuard&) = delete;
  TFlagGuard& operator=(const TFlagGuard&) = delete;

private:
  bool& Flag;
  bool Before;
};
