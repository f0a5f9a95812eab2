// Every public header together in one translation unit: no clashes between them.
#include "fieldcore.h"

#include <gtest/gtest.h>

TEST(Umbrella, HeadersCompileTogether)
{
    EXPECT_DOUBLE_EQ(DDDMMSS2Deg(0.3), 0.5);
}

// The platform stand-ins define no text macro in a consumer's namespace: `_T` is a reserved
// name that a consumer's own headers (or the C library's) may define differently.
#ifdef _T
#error "fieldcore.h defines _T"
#endif
