// The base of every test that reaches the library through its exports.
#pragma once

#include <gtest/gtest.h>

#include "host/host_screen.h"
#include "host/library.h"

namespace tavitest {

using tavihost::HostScreen;
using tavihost::Library;
using tavihost::Tavikit;
using tavihost::Word;

class ExportTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(Tavikit().error.empty()) << Tavikit().error; }
  const Library& lib() const { return Tavikit(); }
};

}  // namespace tavitest
