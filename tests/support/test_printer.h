#pragma once
// How every test program prints its results. GoogleTest prints "[  SKIPPED ]"
// for the tests of a suite whose set-up failed (a database that could not be
// built, say), and CTest's GoogleTest discovery turns that marker into
// "skipped", which does not fail a run. So the programs print with a printer
// of their own that never writes the marker, and a test that did not run
// makes the program fail.
#include <cstdio>
#include <gtest/gtest.h>

namespace testsupport {

class Printer : public ::testing::EmptyTestEventListener {
public:
    void OnTestStart(const ::testing::TestInfo& test) override {
        std::printf("[ RUN      ] %s.%s\n", test.test_suite_name(), test.name());
        std::fflush(stdout);
    }
    void OnTestPartResult(const ::testing::TestPartResult& result) override {
        if (!result.failed()) return;
        std::printf("%s:%d: Failure\n%s\n", result.file_name() ? result.file_name() : "(unknown file)",
                    result.line_number(), result.message());
        std::fflush(stdout);
    }
    void OnTestEnd(const ::testing::TestInfo& test) override {
        const ::testing::TestResult& r = *test.result();
        const char* mark = r.Failed() ? "[  FAILED  ]" : r.Skipped() ? "[ NOT RUN  ]" : "[       OK ]";
        if (r.Skipped()) ++not_run_;
        std::printf("%s %s.%s (%lld ms)\n", mark, test.test_suite_name(), test.name(),
                    static_cast<long long>(r.elapsed_time()));
        std::fflush(stdout);
    }
    void OnTestProgramEnd(const ::testing::UnitTest& unit) override {
        std::printf("[==========] %d tests: %d passed, %d failed, %d not run%s\n",
                    unit.test_to_run_count(), unit.successful_test_count(), unit.failed_test_count(),
                    not_run_, unit.ad_hoc_test_result().Failed() ? "; a suite set-up failed" : "");
    }
    int NotRun() const { return not_run_; }

private:
    int not_run_ = 0;
};


// Runs every test with that printer: 0 when all ran and passed.
inline int RunAllTests(int& argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::TestEventListeners& listeners = ::testing::UnitTest::GetInstance()->listeners();
    delete listeners.Release(listeners.default_result_printer());
    auto* printer = new Printer;
    listeners.Append(printer);  // owned by GoogleTest from here on
    const int status = RUN_ALL_TESTS();
    return status != 0 || printer->NotRun() > 0 ? 1 : status;
}

}  // namespace testsupport
