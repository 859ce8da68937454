#pragma once
// Runs a fixture on the installation given as the test's parameter: the
// test program's database of that installation is used from SetUp on, and
// ours again after TearDown.
#include <gtest/gtest.h>

#include "support/test_database.h"

namespace testsupport {

template <typename Base>
class OnInstallation : public Base, public ::testing::WithParamInterface<Installation> {
protected:
    void SetUp() override {
        UseInstallation(this->GetParam());
        Base::SetUp();
    }
    void TearDown() override {
        Base::TearDown();
        UseInstallation(Installation::Ours);
    }
};

// Ours (with the send record) and a restaurant's own tables (without it).
inline auto OursAndTheirs() {
    return ::testing::Values(Installation::Ours, Installation::Theirs);
}

}  // namespace testsupport
