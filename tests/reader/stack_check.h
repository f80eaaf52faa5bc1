// Whether a function exported with the Windows convention for exports removes exactly its
// own arguments from the stack: the convention of the exports of the 32-bit library.
#pragma once
#include <cstdint>
#include <initializer_list>

namespace zentora::testing {

using AnyFunction = void (*)();

struct CheckedCall {
  bool balanced = false;
  std::uintptr_t integer = 0;    // the integer result register after the call
  double floating = 0;           // the x87 result, when asked for
};

// Pushes `arguments` from last to first, calls, and compares the stack pointer with its
// value before the pushes. `returns_double` pops the x87 result into `floating`.
CheckedCall CallAndCheckStack(AnyFunction function, std::initializer_list<void*> arguments, bool returns_double);

}  // namespace zentora::testing
