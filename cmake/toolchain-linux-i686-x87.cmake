# 32-bit Linux build for the x87 unit (-march=i686: no SSE, no SSE2), whose
# tests run on an emulated Pentium II, so that the fade's arithmetic is shown
# on a processor of the Windows program's floor, not only read from its code.
# Needs Debian's g++-multilib and qemu-user.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR i686)

set(CMAKE_C_COMPILER gcc)
set(CMAKE_CXX_COMPILER g++)
# Everything, GoogleTest included, for the same processor.
set(CMAKE_C_FLAGS_INIT "-m32 -march=i686 -mfpmath=387")
set(CMAKE_CXX_FLAGS_INIT "-m32 -march=i686 -mfpmath=387")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-m32")

# A Pentium II, not a Pentium III: qemu 7.2 runs SSE2 instructions on an
# emulated Pentium III (which has only SSE) without a fault, but stops at
# every SSE or SSE2 instruction on a Pentium II.
set(CMAKE_CROSSCOMPILING_EMULATOR "qemu-i386;-cpu;pentium2")
