// The node pool: every search node is made once, at construction, and only
// circulates between FreeList, OpenList and ClosedList afterwards.

#include "search/grid_search.h"

GridSearch::GridSearch() {
    OpenList.reserve(NODE_POOL_SIZE);
    ClosedList.reserve(NODE_POOL_SIZE);
    FreeList.reserve(NODE_POOL_SIZE);
    OpenKeys.reserve(NODE_POOL_SIZE);
    CurrentNode = nullptr;
    StartNode = nullptr;
    StraightLineFound = false;
    for (LoopI = 0; LoopI < NODE_POOL_SIZE; LoopI++) {
        FreeList.push_back(new SearchNode);
    }
}

GridSearch::~GridSearch() {
    for (SearchNode* node : FreeList) {
        delete node;
    }
    for (SearchNode* node : OpenList) {
        delete node;
    }
    for (SearchNode* node : ClosedList) {
        delete node;
    }
}

SearchNode* GridSearch::AllocNode() {
    if (FreeList.empty()) {
        return nullptr;
    }
    NewNode = FreeList.back();
    FreeList.pop_back();
    return NewNode;
}

void GridSearch::RecycleNodes() {
    FreeList.insert(FreeList.end(), ClosedList.begin(), ClosedList.end());
    ClosedList.clear();
    FreeList.insert(FreeList.end(), OpenList.begin(), OpenList.end());
    OpenList.clear();
    OpenKeys.clear();
    CreationCount = 0;
}
