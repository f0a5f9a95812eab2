// Every public header together in one translation unit: no clashes between them.
#include "fieldcore.h"

#include <gtest/gtest.h>

TEST(Umbrella, HeadersCompileTogether)
{
    EXPECT_DOUBLE_EQ(DDDMMSS2Deg(0.3), 0.5);
}
