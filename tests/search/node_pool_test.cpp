#include <gtest/gtest.h>

#include <set>

#include "search_fixture.h"

TEST(NodePool, StartsFullAndHandsOutLastInFirstOut) {
    auto search = NewSearch();
    EXPECT_EQ(search->FreeList.size(), NODE_POOL_SIZE);
    EXPECT_TRUE(search->OpenList.empty());
    EXPECT_TRUE(search->ClosedList.empty());
    EXPECT_EQ(search->PathPoints[0].x, 0u); // no path yet

    SearchNode* last = search->FreeList.back();
    EXPECT_EQ(search->AllocNode(), last);
    EXPECT_EQ(search->NewNode, last);
    EXPECT_EQ(search->FreeList.size(), NODE_POOL_SIZE - 1);
    search->OpenList.push_back(last); // the lists own every node
}

TEST(NodePool, EmptyPoolReturnsNullUntilRecycled) {
    auto search = NewSearch();
    std::set<SearchNode*> distinct;
    for (uint32_t i = 0; i < NODE_POOL_SIZE; i++) {
        SearchNode* node = search->AllocNode();
        ASSERT_NE(node, nullptr);
        distinct.insert(node);
        // Alternate between the two in-use lists, as a search does.
        (i % 2 == 0 ? search->OpenList : search->ClosedList).push_back(node);
    }
    SearchNode* lastOpenNode = search->OpenList.back();
    EXPECT_EQ(distinct.size(), NODE_POOL_SIZE);

    SearchNode* lastHandedOut = search->NewNode;
    EXPECT_EQ(search->AllocNode(), nullptr);
    EXPECT_EQ(search->NewNode, lastHandedOut); // a failed call changes nothing

    search->RecycleNodes();
    EXPECT_EQ(search->FreeList.size(), NODE_POOL_SIZE);
    EXPECT_TRUE(search->OpenList.empty());
    EXPECT_TRUE(search->ClosedList.empty());
    // Closed nodes go back first, open nodes last: the last open node comes out first.
    EXPECT_EQ(search->AllocNode(), lastOpenNode);
    search->OpenList.push_back(lastOpenNode);
}
