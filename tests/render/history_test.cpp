// The navigation history behind back and forward.
#include "render/history.h"

#include <gtest/gtest.h>

using orv::render::NavigationHistory;

TEST(History, BackAndForward) {
    NavigationHistory h;
    EXPECT_FALSE(h.canGoBack());
    h.AddHistory("k01");
    h.AddHistory("k02");
    EXPECT_TRUE(h.canGoBack());
    EXPECT_FALSE(h.canGoForward());
    EXPECT_EQ(h.back().value(), "k01");
    h.AddHistory("k01");  // the page of the current entry shown again
    EXPECT_EQ(h.position(), 1);
    EXPECT_TRUE(h.canGoForward());
    EXPECT_EQ(h.forward().value(), "k02");
    h.AddHistory("k02");
    EXPECT_EQ(h.position(), 2);
    EXPECT_FALSE(h.forward());
    // Following the link of the next entry steps onto it; a new page ends what lay ahead.
    h.back();
    h.AddHistory("k02");
    EXPECT_EQ(h.position(), 2);
    h.back();
    h.AddHistory("r05");
    EXPECT_EQ(h.position(), 2);
    EXPECT_EQ(h.entry(2), "r05");
    EXPECT_FALSE(h.canGoForward());
}

TEST(History, TheOldestPageGoesAfterNinetyNine) {
    NavigationHistory h;
    for (int i = 1; i <= 100; ++i) h.AddHistory("k0" + std::to_string(i));
    EXPECT_EQ(h.position(), 99);
    EXPECT_EQ(h.entry(1), "k02");
    EXPECT_EQ(h.entry(99), "k0100");
    EXPECT_FALSE(h.canGoForward());
}
