// The open list of the search. The selection rule is "least f, earliest created
// first". Scanning the whole list for that node and removing it from the middle
// costs time in proportion to the list for every expansion: tens of
// milliseconds for a search that fills the pool.
//
// The bucket queue gives the same node at constant cost. f is a whole number
// below OPEN_BUCKETS, so every value of f has its own queue of nodes, linked in
// the order they were created; the front of the queue of the least f is the
// node the rule chooses, ties on f included. LeastF never exceeds the least f
// in the open list, so the search for the first non-empty queue starts there.
// A new node's f is at most four times the weight below its parent's, so the
// search for that queue stays short on average.
//
// OpenList keeps holding exactly the open nodes, in no particular order: a node
// taken from it is replaced by the last one, whose index is updated.

#include "app/globals.h"
#include "search/grid_search.h"

void GridSearch::BeginOpenList(uint32_t goalX, uint32_t goalY) {
    // The largest estimate on the grid is the one from a corner of the storage.
    const uint64_t a = goalX > GRID_COLUMNS - 1 - goalX ? goalX : GRID_COLUMNS - 1 - goalX;
    const uint64_t b = goalY > GRID_ROWS - 1 - goalY ? goalY : GRID_ROWS - 1 - goalY;
    const uint64_t longer = a > b ? a : b;
    const uint64_t shorter = a > b ? b : a;
    const uint64_t largestH = (STRAIGHT_COST * longer + shorter) * HeuristicWeight;
    const uint64_t largestF = static_cast<uint64_t>(DIAGONAL_COST) * NODE_POOL_SIZE + largestH;
    ScanOpenList = UseReferenceOpenList || largestF >= OPEN_BUCKETS;
    LeastF = OPEN_BUCKETS;
}

void GridSearch::PushOpenNode(SearchNode* node) {
    if (ScanOpenList) {
        OpenList.push_back(node);
        return;
    }
    const uint32_t number = CreationCount;
    CreationCount++;
    const uint32_t f = node->f;
    NumberIndex[number] = static_cast<uint32_t>(OpenList.size());
    NumberF[number] = f;
    NextInBucket[number] = NO_NODE;
    // Both vectors hold room for the whole pool, so these appends never allocate.
    OpenList.push_back(node);
    OpenNumbers.push_back(number);
    if (BucketFirst[f] == NO_NODE) {
        BucketFirst[f] = number;
    } else {
        NextInBucket[BucketLast[f]] = number;
    }
    BucketLast[f] = number;
    if (f < LeastF) {
        LeastF = f;
    }
}

SearchNode* GridSearch::TakeBestNode() {
    if (ScanOpenList) {
        ChooseBestNode();
        SearchNode* chosen = OpenList[BestIndex];
        OpenList.erase(OpenList.begin() + BestIndex);
        return chosen;
    }

    while (BucketFirst[LeastF] == NO_NODE) {
        LeastF++;
    }
    const uint32_t number = BucketFirst[LeastF];
    BucketFirst[LeastF] = NextInBucket[number];
    BestF = LeastF;
    BestIndex = NumberIndex[number];
    SearchNode* chosen = OpenList[BestIndex];

    // The last node fills the hole.
    const uint32_t lastNumber = OpenNumbers.back();
    OpenList[BestIndex] = OpenList.back();
    OpenNumbers[BestIndex] = lastNumber;
    NumberIndex[lastNumber] = BestIndex;
    OpenList.pop_back();
    OpenNumbers.pop_back();
    return chosen;
}
