// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "text/FormatSettings.h"

TEST(FormatSettings, Utf8OfNonBreakingSpace) { EXPECT_EQ(Utf8(U'\u00A0'), "\xC2\xA0"); }
