#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>

// A crash in the plugin ends the test program with a message at once, rather
// than waiting for a debugger.
static LONG WINAPI ReportCrash(EXCEPTION_POINTERS* info) {
    std::printf("\nCRASH: exception 0x%08lX at %p in test %s\n",
                info->ExceptionRecord->ExceptionCode, info->ExceptionRecord->ExceptionAddress,
                ::testing::UnitTest::GetInstance()->current_test_info()
                    ? ::testing::UnitTest::GetInstance()->current_test_info()->name()
                    : "(none)");
    std::fflush(stdout);
    TerminateProcess(GetCurrentProcess(), 3);
    return EXCEPTION_EXECUTE_HANDLER;
}

int main(int argc, char** argv) {
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
    SetUnhandledExceptionFilter(ReportCrash);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
