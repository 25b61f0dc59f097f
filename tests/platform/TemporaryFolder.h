// The platform tests' name for the scoped temporary folder all tests share.
#pragma once

#include "tests/support/TempDir.h"

namespace brindle::platform::test {

using TemporaryFolder = testsupport::TempDir;

}  // namespace brindle::platform::test
