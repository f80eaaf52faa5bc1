// The 32-bit check: an assembly thunk does the pushes itself, so no compiler-made stack
// adjustment can hide a callee that removes too few or too many bytes.
#include <cstdint>

#include "reader/stack_check.h"

extern "C" void lirvak_checked_call(zentora::testing::AnyFunction function, void* const* arguments, int count,
                                    std::int32_t* moved, std::uint32_t* integer, double* floating);

// cdecl: function @8, arguments @12, count @16, moved @20, integer @24, floating @28.
asm(R"(
  .text
  .globl _lirvak_checked_call
_lirvak_checked_call:
  pushl %ebp
  movl %esp, %ebp
  pushl %ebx
  pushl %esi
  pushl %edi
  movl 12(%ebp), %esi
  movl 16(%ebp), %ecx
  movl %esp, %ebx
1:
  testl %ecx, %ecx
  jz 2f
  decl %ecx
  pushl (%esi,%ecx,4)
  jmp 1b
2:
  call *8(%ebp)
  movl 24(%ebp), %ecx
  movl %eax, (%ecx)
  movl %esp, %edx
  subl %ebx, %edx
  movl %ebx, %esp
  movl 20(%ebp), %ecx
  movl %edx, (%ecx)
  movl 28(%ebp), %ecx
  testl %ecx, %ecx
  jz 3f
  fstpl (%ecx)
3:
  popl %edi
  popl %esi
  popl %ebx
  popl %ebp
  ret
)");

namespace zentora::testing {

CheckedCall CallAndCheckStack(AnyFunction function, std::initializer_list<void*> arguments, bool returns_double) {
  std::int32_t moved = -1;
  std::uint32_t integer = 0;
  CheckedCall call;
  lirvak_checked_call(function, arguments.begin(), static_cast<int>(arguments.size()), &moved, &integer,
                      returns_double ? &call.floating : nullptr);
  call.balanced = moved == 0;
  call.integer = integer;
  return call;
}

}  // namespace zentora::testing
