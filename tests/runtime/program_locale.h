#pragma once
// Fixtures for runtime tests: the neutral defaults, or the formats start-up
// forces (day-first dates, decimal comma, thousands point). Both put the
// neutral defaults back afterwards, so no test leaks its formats.
#include <gtest/gtest.h>

#include "runtime/regional_formats.h"

class NeutralFormats : public ::testing::Test {
protected:
    void SetUp() override { rt::ResetFormats(); }
    void TearDown() override { rt::ResetFormats(); }
};

class ProgramFormats : public NeutralFormats {
protected:
    void SetUp() override {
        rt::UseStartUpFormats();
    }
};

// Runs `action` and returns the number of the rt::RuntimeError it throws (0
// when it throws none), with the description in `description` when given.
#include "runtime/runtime_error.h"

template <typename F>
int ErrorNumberOf(F&& action, QString* description = nullptr) {
    try {
        action();
    } catch (const rt::RuntimeError& e) {
        if (description) *description = e.description();
        return e.number();
    }
    return 0;
}
