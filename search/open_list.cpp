// The open list of the search. The selection rule is "least f, earliest created
// first". Scanning the whole list for that node and removing it from the middle
// costs time in proportion to the list for every expansion, tens of
// milliseconds for a search that fills the pool. The heap below gives the same
// node in logarithmic time: its key is f in the high half and the node's
// creation number in the low half, so keys are unique and their order is
// exactly the rule's order, ties on f included.

#include "search/grid_search.h"

namespace {
uint64_t OpenKey(uint32_t f, uint32_t creation) {
    return (static_cast<uint64_t>(f) << 32) | creation;
}
} // namespace

void GridSearch::PushOpenNode(SearchNode* node) {
    if (UseReferenceOpenList) {
        OpenList.push_back(node);
        return;
    }
    const uint64_t key = OpenKey(node->f, CreationCount);
    CreationCount++;
    // Both vectors hold room for the whole pool, so these appends never allocate.
    OpenList.push_back(node);
    OpenKeys.push_back(key);

    // Sift up: move parents with a greater key down into the hole.
    SearchNode** nodes = OpenList.data();
    uint64_t* keys = OpenKeys.data();
    uint32_t hole = static_cast<uint32_t>(OpenList.size()) - 1;
    while (hole > 0) {
        uint32_t parent = (hole - 1) / 2;
        if (keys[parent] < key) {
            break;
        }
        nodes[hole] = nodes[parent];
        keys[hole] = keys[parent];
        hole = parent;
    }
    nodes[hole] = node;
    keys[hole] = key;
}

SearchNode* GridSearch::TakeBestNode() {
    if (UseReferenceOpenList) {
        ChooseBestNode();
        SearchNode* chosen = OpenList[BestIndex];
        OpenList.erase(OpenList.begin() + BestIndex);
        return chosen;
    }

    SearchNode* best = OpenList.front();
    BestF = best->f;
    BestIndex = 0;

    // Take the last entry out and sift it down from the top.
    SearchNode* last = OpenList.back();
    const uint64_t lastKey = OpenKeys.back();
    OpenList.pop_back();
    OpenKeys.pop_back();
    const uint32_t count = static_cast<uint32_t>(OpenList.size());
    if (count == 0) {
        return best;
    }
    SearchNode** nodes = OpenList.data();
    uint64_t* keys = OpenKeys.data();
    uint32_t hole = 0;
    for (;;) {
        uint32_t child = 2 * hole + 1;
        if (child >= count) {
            break;
        }
        if (child + 1 < count && keys[child + 1] < keys[child]) {
            child++;
        }
        if (lastKey < keys[child]) {
            break;
        }
        nodes[hole] = nodes[child];
        keys[hole] = keys[child];
        hole = child;
    }
    nodes[hole] = last;
    keys[hole] = lastKey;
    return best;
}
