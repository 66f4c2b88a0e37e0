#pragma once

// Tests on the technician's laptop, played by umockdev.

#include "fake_machine.h"
#include "testbed.h"

#include <gtest/gtest.h>

#include <memory>

namespace fixtures {

class tFakeMachineTest : public ::testing::Test {
protected:
    // Starts the testbed with `machine`; tests may add devices to the machine first.
    void start() {
        ASSERT_TRUE(umockdevPreloaded()) << "run under umockdev-wrapper, as ctest does";
        testbed = std::make_unique<tTestbed>();
        testbed->add(machine.description());
        testbed->setMounts(machine.mountInfo());
    }
    void TearDown() override { testbed.reset(); }

    tFakeMachine machine;
    std::unique_ptr<tTestbed> testbed;
};

class tLaptopTest : public tFakeMachineTest {
protected:
    void SetUp() override {
        machine = technicianLaptop();
        start();
    }
};

} // namespace fixtures
