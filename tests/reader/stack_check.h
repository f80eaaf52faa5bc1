// Whether a function exported with the Windows convention for exports removes exactly its
// own arguments from the stack. That convention exists on 32-bit x86 only; the x86-64 build
// (which runs these tests where the kernel cannot run 32-bit code) has no answer to give.
#pragma once
#include <cstdint>
#include <initializer_list>
#include <optional>

namespace zentora::testing {

using AnyFunction = void (*)();

struct CheckedCall {
  std::optional<bool> balanced;  // empty where nothing could be checked
  std::uintptr_t integer = 0;    // the integer result register after the call
  double floating = 0;           // the x87 result, when asked for
};

// Pushes `arguments` from last to first, calls, and compares the stack pointer with its
// value before the pushes. `returns_double` pops the x87 result into `floating`.
CheckedCall CallAndCheckStack(AnyFunction function, std::initializer_list<void*> arguments, bool returns_double);

}  // namespace zentora::testing
