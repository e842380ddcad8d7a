// The weighted A* search over the 8-connected grid. A cell gets at most one node
// per search, marked visited when the node is made, so no node is ever reopened
// or improved; the open node of least f is expanded next, the earliest created
// winning ties (see open_list.cpp).

#include <cstdlib>

#include "app/globals.h"
#include "platform/perf_counter.h"
#include "search/grid_search.h"

int32_t GridSearch::Heuristic(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
    int32_t a = std::abs(x1 - x2);
    int32_t b = std::abs(y1 - y2);
    int32_t m = a < b ? a : b;
    int32_t s = std::abs(a - b);
    // m diagonal and s straight steps: the cheapest obstacle-free route, times the weight.
    uint32_t estimate =
        (STRAIGHT_COST * static_cast<uint32_t>(s) + DIAGONAL_COST * static_cast<uint32_t>(m)) *
        HeuristicWeight;
    return static_cast<int32_t>(estimate);
}

void GridSearch::ChooseBestNode() {
    BestF = BEST_F_START;
    BestIndex = static_cast<uint32_t>(OpenList.size());
    for (LoopI = 0; LoopI < OpenList.size(); LoopI++) {
        if (OpenList[LoopI]->f < BestF) {
            BestF = OpenList[LoopI]->f;
            BestIndex = LoopI;
        }
    }
    // Long paths and high weights can leave every f at or above the scan's
    // starting value; the same rule then applies without the cap.
    if (BestIndex == OpenList.size()) {
        BestIndex = 0;
        BestF = OpenList[0]->f;
        for (LoopI = 1; LoopI < OpenList.size(); LoopI++) {
            if (OpenList[LoopI]->f < BestF) {
                BestF = OpenList[LoopI]->f;
                BestIndex = LoopI;
            }
        }
    }
}

namespace {
// The eight neighbours in the order they are visited: diagonals first, then sides.
struct Neighbour {
    int32_t dx;
    int32_t dy;
    uint32_t cost;
};
constexpr Neighbour NEIGHBOURS[8] = {
    {+1, -1, DIAGONAL_COST}, {+1, +1, DIAGONAL_COST}, {-1, +1, DIAGONAL_COST},
    {-1, -1, DIAGONAL_COST}, {0, -1, STRAIGHT_COST},  {+1, 0, STRAIGHT_COST},
    {0, +1, STRAIGHT_COST},  {-1, 0, STRAIGHT_COST},
};

// The neighbours of cell (x, y) that the search may make a node for, as bits
// in neighbour order: inside the bounds, not blocked and not yet visited.
// Column 0 and row 0 are never entered; the last active column and row are.
// Whether a neighbour is free is hard to predict, so all eight are tested
// without a branch each and the caller walks the bits that are set; the cells
// are distinct, so making a node for one does not change the others' bits.
uint32_t OpenNeighbours(const uint32_t (*cells)[GRID_ROWS], uint32_t x, uint32_t y,
                        uint32_t columns, uint32_t rows) {
    const bool right = x + 1 < columns;
    const bool left = x >= 2;
    const bool down = y + 1 < rows;
    const bool up = y >= 2;
    const bool inside[8] = {right && up, right && down, left && down, left && up,
                            up,          right,         down,         left};
    uint32_t bits = 0;
    for (uint32_t i = 0; i < 8; i++) {
        // An outside neighbour reads the cell itself instead, which is in the
        // grid, and is then masked out.
        const uint32_t nx = inside[i] ? x + static_cast<uint32_t>(NEIGHBOURS[i].dx) : x;
        const uint32_t ny = inside[i] ? y + static_cast<uint32_t>(NEIGHBOURS[i].dy) : y;
        const uint32_t free = (cells[nx][ny] & (CELL_BLOCKED | CELL_VISITED)) == 0;
        bits |= (free & static_cast<uint32_t>(inside[i])) << i;
    }
    return bits;
}
} // namespace

void GridSearch::FindPath(uint32_t startX, uint32_t startY, uint32_t goalX, uint32_t goalY) {
    LARGE_INTEGER count;
    QueryPerformanceCounter(&count);
    SearchStartCount = count.QuadPart;

    // A cell outside the grid's storage is refused like a blocked cell.
    bool outside = startX >= GRID_COLUMNS || startY >= GRID_ROWS || goalX >= GRID_COLUMNS ||
                   goalY >= GRID_ROWS;
    if (outside || (Cells[startX][startY] & CELL_BLOCKED) != 0 ||
        (Cells[goalX][goalY] & CELL_BLOCKED) != 0) {
        QueryPerformanceCounter(&count);
        SearchStartCount = count.QuadPart;
        QueryPerformanceCounter(&count);
        SearchEndCount = count.QuadPart;
        Outcome = SearchOutcome::REFUSED;
        return;
    }

    const uint32_t columns = GRID_COLUMNS / CellSize;
    const uint32_t rows = GRID_ROWS / CellSize;
    for (LoopI = 0; LoopI < columns; LoopI++) {
        for (LoopJ = 0; LoopJ < rows; LoopJ++) {
            Cells[LoopI][LoopJ] &= ~CELL_VISITED;
        }
    }

    RecycleNodes();
    BeginOpenList(goalX, goalY);

    // The pool is full here, so the start node always exists.
    StartNode = AllocNode();
    StartNode->x = startX;
    StartNode->y = startY;
    StartNode->g = 0;
    StartNode->h =
        static_cast<uint32_t>(Heuristic(static_cast<int32_t>(startX), static_cast<int32_t>(startY),
                                        static_cast<int32_t>(goalX), static_cast<int32_t>(goalY)));
    StartNode->f = StartNode->g + StartNode->h;
    StartNode->parent = nullptr;
    PushOpenNode(StartNode);
    Cells[startX][startY] |= CELL_VISITED;

    while (!OpenList.empty()) {
        CurrentNode = TakeBestNode();
        ClosedList.push_back(CurrentNode);

        // The straight-line check runs before the goal test, for every expanded
        // node, the start and the goal included.
        if (UseStraightLineCheck == SWITCH_ON &&
            LineOfSight(static_cast<int32_t>(CurrentNode->x), static_cast<int32_t>(CurrentNode->y),
                        static_cast<int32_t>(goalX), static_cast<int32_t>(goalY))) {
            StraightLineFound = true;
        }

        if ((CurrentNode->x == goalX && CurrentNode->y == goalY) || StraightLineFound) {
            ExtractPath(goalX, goalY);
            QueryPerformanceCounter(&count);
            SearchEndCount = count.QuadPart;
            Outcome = SearchOutcome::FOUND;
            return;
        }

        // A diagonal step needs only its target cell free: the two cells beside
        // the step are not tested.
        const uint32_t cx = CurrentNode->x;
        const uint32_t cy = CurrentNode->y;
        for (uint32_t open = OpenNeighbours(Cells, cx, cy, columns, rows); open != 0;
             open &= open - 1) {
            const Neighbour& n = NEIGHBOURS[__builtin_ctz(open)];
            uint32_t x = cx + static_cast<uint32_t>(n.dx);
            uint32_t y = cy + static_cast<uint32_t>(n.dy);
            SearchNode* node = AllocNode();
            if (node == nullptr) {
                // Pool exhausted: ends like a search without a path.
                QueryPerformanceCounter(&count);
                SearchEndCount = count.QuadPart;
                Outcome = SearchOutcome::POOL_EXHAUSTED;
                return;
            }
            node->x = x;
            node->y = y;
            node->g = CurrentNode->g + n.cost;
            node->h = static_cast<uint32_t>(
                Heuristic(static_cast<int32_t>(x), static_cast<int32_t>(y),
                          static_cast<int32_t>(goalX), static_cast<int32_t>(goalY)));
            node->f = node->g + node->h;
            node->parent = CurrentNode;
            PushOpenNode(node);
            Cells[x][y] |= CELL_VISITED;
        }
    }

    // The open list ran empty: no path, and the previous path stays.
    QueryPerformanceCounter(&count);
    SearchEndCount = count.QuadPart;
    Outcome = SearchOutcome::NO_PATH;
}
