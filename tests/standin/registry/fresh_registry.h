// A test fixture that gives each test an empty registry in memory, with the machine-wide roots
// read-only, and leaves them read-only again afterwards.
#pragma once

#include "standin/registry/registry_store.h"

#include <gtest/gtest.h>

namespace trenmoor {

class FreshRegistry : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(standin::openMemoryRegistryStore());
    standin::setMachineWideWrites(standin::MachineWideWrites::Refused);
  }
  void TearDown() override {
    standin::setMachineWideWrites(standin::MachineWideWrites::Refused);
  }
};

}  // namespace trenmoor
