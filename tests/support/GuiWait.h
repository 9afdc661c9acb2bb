// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Waiting for the event loop in GoogleTest tests. QtTest's QTRY_* macros
// report a timeout to QtTest's own log and return from the test, which
// GoogleTest then counts as passed; these report through GoogleTest.

#include <gtest/gtest.h>

#include <QTest>

// Runs the event loop until Condition holds or TimeoutMs passes; true when it held.
template <class Condition>
bool WaitUntil(Condition&& Check, int TimeoutMs = 5000) {
  return QTest::qWaitFor([&] { return static_cast<bool>(Check()); }, TimeoutMs);
}

#define WAIT_ASSERT(condition) ASSERT_TRUE(WaitUntil([&] { return (condition); })) << "waited for " #condition
#define WAIT_EXPECT(condition) EXPECT_TRUE(WaitUntil([&] { return (condition); })) << "waited for " #condition
