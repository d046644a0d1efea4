// VEXO_ASSERT where it is checked: this program is compiled with the
// assertions on, whatever the build type, so that it trips one of them (the
// text buffer's capacity) in every build.
#include <csignal>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "text_buffer.h"

#ifndef VEXO_ASSERTIONS
#error "assertion_test must be compiled with VEXO_ASSERTIONS"
#endif

namespace {

TEST(AssertionDeathTest, AnAppendPastTheCapacityAbortsNamingFileLineAndCondition)
{
    std::vector<char> bytes(8);
    Output out{bytes.data(), 0, bytes.size(), false};
    put_bytes(&out, "12345678", 8); // exactly full is still within the capacity
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "12345678");
    const volatile size_t one = 1; // unknown to the compiler, which would see the overflow
    EXPECT_EXIT(put_bytes(&out, "9", one), testing::KilledBySignal(SIGABRT),
                "text_buffer\\.h:[0-9]+: assertion failed: n <= out->capacity - out->len\n");
}

} // namespace
