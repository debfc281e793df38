// A test fixture that gives each test an empty registry in memory, with the machine-wide roots
// read-only, and leaves them read-only again afterwards; and one that adds a temporary folder
// for hive files.
#pragma once

#include "standin/registry/registry_store.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

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

// FreshRegistry with a temporary folder, removed after the test has let go of its files.
class FreshRegistryFolder : public FreshRegistry {
 protected:
  void SetUp() override {
    FreshRegistry::SetUp();
    std::string pattern =
        (std::filesystem::temp_directory_path() / "trenmoor-registry-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    folder_ = pattern;
  }
  void TearDown() override {
    ASSERT_TRUE(standin::openMemoryRegistryStore());  // let go of the files first
    std::filesystem::remove_all(folder_);
    FreshRegistry::TearDown();
  }
  std::string folder_;
};

}  // namespace trenmoor
