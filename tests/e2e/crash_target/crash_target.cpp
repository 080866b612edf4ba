// A test program that crashes, for the bench's own checks (tests/e2e/CMakeLists.txt):
//   fault         its test writes through a null pointer: it must end at once, telling the
//                 fault's address, not wait in Wine's debugger
//   after-report  its test passes, then an exit handler takes the stack away: Wine's loader dies
//                 of SIGSEGV after the report, and tools/wine-run must fail the run all the same
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

namespace {

volatile int* volatile target = nullptr;
bool faultInTheTest = false;

void takeTheStackAway()
{
#ifdef __x86_64__
    asm volatile("xor %rsp, %rsp\n\tret");
#else
    asm volatile("xor %esp, %esp\n\tret");
#endif
}

}  // namespace

TEST(Crash, InTheTestOrAfterIt)
{
    if (faultInTheTest)
        *target = 1;
}

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    faultInTheTest = argc > 1 && std::strcmp(argv[1], "fault") == 0;
    if (argc > 1 && std::strcmp(argv[1], "after-report") == 0)
        std::atexit(takeTheStackAway);
    return RUN_ALL_TESTS();
}
