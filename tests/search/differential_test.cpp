// The fast open list against the reference scan: two search objects get the
// same grid and the same queries, one after the other as the workbench runs
// them, and after every query everything a reader can see must be identical.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <tuple>

#include "search_fixture.h"

namespace {

// A node as readers see it: its fields, with the parent by its cell.
struct NodeRecord {
    uint32_t x, y, g, h, f;
    bool hasParent;
    uint32_t parentX, parentY;

    auto Tie() const { return std::tie(x, y, g, h, f, hasParent, parentX, parentY); }
    bool operator==(const NodeRecord& other) const { return Tie() == other.Tie(); }
    bool operator<(const NodeRecord& other) const { return Tie() < other.Tie(); }
};

std::ostream& operator<<(std::ostream& out, const NodeRecord& n) {
    out << "(" << n.x << ", " << n.y << ") g " << n.g << " h " << n.h << " f " << n.f;
    if (n.hasParent) {
        out << " from (" << n.parentX << ", " << n.parentY << ")";
    }
    return out;
}

NodeRecord Record(const SearchNode* node) {
    NodeRecord r{node->x, node->y, node->g, node->h, node->f, node->parent != nullptr, 0, 0};
    if (node->parent != nullptr) {
        r.parentX = node->parent->x;
        r.parentY = node->parent->y;
    }
    return r;
}

std::vector<NodeRecord> Records(const std::vector<SearchNode*>& list) {
    std::vector<NodeRecord> records;
    records.reserve(list.size());
    for (const SearchNode* node : list) {
        records.push_back(Record(node));
    }
    return records;
}

enum class Outcome { Refused, Found, NoPath, PoolExhausted };

// The pool's invariant between searches, as far as a quick look sees it: the
// three lists hold 100000 nodes, and the two the search fills hold no null.
void ExpectPoolWhole(const GridSearch& search) {
    EXPECT_EQ(search.FreeList.size() + search.OpenList.size() + search.ClosedList.size(),
              NODE_POOL_SIZE);
    for (const auto* list : {&search.OpenList, &search.ClosedList}) {
        EXPECT_EQ(std::count(list->begin(), list->end(), nullptr), 0);
    }
}

// The full invariant: every node of the pool in exactly one list.
void ExpectEveryNodeOnce(const GridSearch& search) {
    std::vector<SearchNode*> all(search.FreeList);
    all.insert(all.end(), search.OpenList.begin(), search.OpenList.end());
    all.insert(all.end(), search.ClosedList.begin(), search.ClosedList.end());
    std::sort(all.begin(), all.end());
    EXPECT_EQ(all.size(), NODE_POOL_SIZE);
    EXPECT_EQ(std::adjacent_find(all.begin(), all.end()), all.end());
}

// Compares everything a reader of the search object can see. The open list is
// compared as a set: the fast list keeps its nodes in no particular order.
void ExpectSameResults(const GridSearch& fast, const GridSearch& reference) {
    ExpectPoolWhole(fast);
    ExpectPoolWhole(reference);
    ASSERT_EQ(fast.ClosedList.size(), reference.ClosedList.size());
    ASSERT_EQ(fast.OpenList.size(), reference.OpenList.size());
    EXPECT_EQ(fast.FreeList.size(), reference.FreeList.size());

    std::vector<NodeRecord> fastClosed = Records(fast.ClosedList);
    std::vector<NodeRecord> referenceClosed = Records(reference.ClosedList);
    for (size_t i = 0; i < fastClosed.size(); i++) {
        ASSERT_EQ(fastClosed[i], referenceClosed[i]) << "expansion " << i;
    }
    std::vector<NodeRecord> fastOpen = Records(fast.OpenList);
    std::vector<NodeRecord> referenceOpen = Records(reference.OpenList);
    std::sort(fastOpen.begin(), fastOpen.end());
    std::sort(referenceOpen.begin(), referenceOpen.end());
    ASSERT_EQ(fastOpen, referenceOpen);

    EXPECT_EQ(fast.StraightLineFound, reference.StraightLineFound);
    EXPECT_EQ(fast.PathCount, reference.PathCount);
    ASSERT_EQ(fast.CurrentNode == nullptr, reference.CurrentNode == nullptr);
    if (fast.CurrentNode != nullptr) {
        EXPECT_EQ(Record(fast.CurrentNode), Record(reference.CurrentNode));
    }
    ASSERT_EQ(fast.StartNode == nullptr, reference.StartNode == nullptr);
    if (fast.StartNode != nullptr) {
        EXPECT_EQ(Record(fast.StartNode), Record(reference.StartNode));
    }
    // All 1000 entries, not only the points up to the end entry.
    EXPECT_EQ(std::memcmp(fast.PathPoints, reference.PathPoints, sizeof(fast.PathPoints)), 0);
    EXPECT_EQ(ReadPath(fast), ReadPath(reference));
}

// The cell words of the active region, the visited marks among them, column by
// column; the whole storage when columns and rows cover it.
void ExpectSameCells(const GridSearch& fast, const GridSearch& reference, uint32_t columns,
                     uint32_t rows) {
    for (uint32_t x = 0; x < columns; x++) {
        ASSERT_EQ(std::memcmp(fast.Cells[x], reference.Cells[x], rows * sizeof(uint32_t)), 0)
            << "column " << x;
    }
}

// What the last search did, read from the reference object.
Outcome Classify(const GridSearch& search, bool refused) {
    if (refused) {
        return Outcome::Refused;
    }
    if (search.ClosedList.size() + search.OpenList.size() == NODE_POOL_SIZE) {
        return Outcome::PoolExhausted;
    }
    // Extraction leaves CurrentNode null; the other exits leave the last node expanded.
    return search.CurrentNode == nullptr ? Outcome::Found : Outcome::NoPath;
}

// Random flag words, stale visited marks included, over the whole storage:
// the part beyond the active region keeps them, and a search must neither
// depend on them nor touch them.
void FillStorage(std::mt19937& rng, GridSearch& search) {
    for (uint32_t x = 0; x < GRID_COLUMNS; x++) {
        for (uint32_t y = 0; y < GRID_ROWS; y += 16) {
            uint32_t bits = rng();
            for (uint32_t k = 0; k < 16 && y + k < GRID_ROWS; k++) {
                search.Cells[x][y + k] = (bits >> (2 * k)) & 3;
            }
        }
    }
}

// A random map on the active region of the cell size: one rectangular arena of
// free ground sprinkled with obstacles and a few walls with gaps, blocked
// around it, and stale visited marks here and there for the reset to clear.
struct MapShape {
    uint32_t columns, rows;            // the active region
    uint32_t left, top, width, height; // the arena
};

MapShape MakeMap(std::mt19937& rng, GridSearch& search, uint32_t cellSize, uint32_t maxSide) {
    auto uniform = [&](uint32_t lo, uint32_t hi) {
        return std::uniform_int_distribution<uint32_t>(lo, hi)(rng);
    };
    MapShape shape{};
    shape.columns = GRID_COLUMNS / cellSize;
    shape.rows = GRID_ROWS / cellSize;
    shape.width = uniform(1, std::min(shape.columns, maxSide));
    shape.height = uniform(1, std::min(shape.rows, maxSide));
    shape.left = uniform(0, shape.columns - shape.width);
    shape.top = uniform(0, shape.rows - shape.height);
    // Arenas on the region's edges meet the bound conditions of the expansion.
    if (uniform(0, 2) == 0) {
        shape.left = uniform(0, 1) == 0 ? 0 : shape.columns - shape.width;
    }
    if (uniform(0, 2) == 0) {
        shape.top = uniform(0, 1) == 0 ? 0 : shape.rows - shape.height;
    }

    const uint32_t densities[] = {0, 5, 15, 30, 45};
    const uint32_t density = densities[uniform(0, 4)];
    for (uint32_t x = 0; x < shape.columns; x++) {
        for (uint32_t y = 0; y < shape.rows; y++) {
            uint32_t stale = (rng() & 7) == 0 ? CELL_VISITED : 0;
            bool inArena = x >= shape.left && x < shape.left + shape.width && y >= shape.top &&
                           y < shape.top + shape.height;
            bool blocked = !inArena || rng() % 100 < density;
            search.Cells[x][y] = (blocked ? CELL_BLOCKED : 0) | stale;
        }
    }
    const uint32_t walls = uniform(0, 3);
    for (uint32_t w = 0; w < walls; w++) {
        bool vertical = uniform(0, 1) == 0;
        uint32_t at = vertical ? uniform(shape.left, shape.left + shape.width - 1)
                               : uniform(shape.top, shape.top + shape.height - 1);
        uint32_t length = vertical ? shape.height : shape.width;
        uint32_t gap = uniform(0, length - 1);
        for (uint32_t i = 0; i < length; i++) {
            uint32_t x = vertical ? at : shape.left + i;
            uint32_t y = vertical ? shape.top + i : at;
            search.Cells[x][y] = i == gap ? 0 : CELL_BLOCKED;
        }
    }
    return shape;
}

struct Query {
    uint32_t startX, startY, goalX, goalY;
};

// Mostly free cells of the arena; now and then any cell up to one column and
// row past the active region (where the workbench's mouse can point), and now
// and then the start itself.
Query MakeQuery(std::mt19937& rng, const GridSearch& search, const MapShape& shape) {
    auto uniform = [&](uint32_t lo, uint32_t hi) {
        return std::uniform_int_distribution<uint32_t>(lo, hi)(rng);
    };
    auto cell = [&](uint32_t& x, uint32_t& y) {
        if (uniform(0, 9) == 0) {
            x = uniform(0, std::min(shape.columns, GRID_COLUMNS - 1));
            y = uniform(0, std::min(shape.rows, GRID_ROWS - 1));
            return;
        }
        for (uint32_t attempt = 0; attempt < 4; attempt++) {
            x = uniform(shape.left, shape.left + shape.width - 1);
            y = uniform(shape.top, shape.top + shape.height - 1);
            if ((search.Cells[x][y] & CELL_BLOCKED) == 0) {
                return;
            }
        }
    };
    Query q{};
    cell(q.startX, q.startY);
    if (uniform(0, 19) == 0) {
        q.goalX = q.startX;
        q.goalY = q.startY;
    } else {
        cell(q.goalX, q.goalY);
    }
    return q;
}

void Copy(const GridSearch& from, GridSearch& to) {
    std::memcpy(to.Cells, from.Cells, sizeof(to.Cells));
}

TEST(OpenListDifferential, FastListExpandsLikeTheReferenceScan) {
    auto fast = NewSearch();
    auto reference = NewSearch();
    reference->UseReferenceOpenList = true;
    std::mt19937 rng(20240531);
    FillStorage(rng, *fast);

    uint32_t queries = 0;
    uint32_t outcomes[4] = {};
    for (uint32_t cellSize = 1; cellSize <= 20; cellSize++) {
        // The two finest cell sizes reset 120000 or 480000 cells per search;
        // they get fewer queries to keep the test quick.
        const uint32_t queriesPerMap = cellSize <= 2 ? 12 : 50;
        // Every weight the keys give, and two beyond them: 41 still fits the
        // fast list's buckets, 1000 makes it fall back to the scan.
        for (uint32_t weight : {0u, 1u, 2u, 3u, 4u, 5u, 6u, 7u, 8u, 9u, 10u, 41u, 1000u}) {
            const MapShape shape = MakeMap(rng, *fast, cellSize, 48);
            Copy(*fast, *reference);
            for (uint32_t q = 0; q < queriesPerMap; q++) {
                const Switch straight = (q & 1) != 0 ? SWITCH_ON : SWITCH_OFF;
                const Switch filter = (q & 2) != 0 ? SWITCH_ON : SWITCH_OFF;
                SearchSettings settings(cellSize, weight, straight, filter);
                const Query query = MakeQuery(rng, *fast, shape);
                SCOPED_TRACE(testing::Message()
                             << "cell size " << cellSize << " weight " << weight << " query " << q
                             << " straight " << straight << " filter " << filter << ": ("
                             << query.startX << ", " << query.startY << ") to (" << query.goalX
                             << ", " << query.goalY << ")");
                const bool refused =
                    (reference->Cells[query.startX][query.startY] & CELL_BLOCKED) != 0 ||
                    (reference->Cells[query.goalX][query.goalY] & CELL_BLOCKED) != 0;
                fast->FindPath(query.startX, query.startY, query.goalX, query.goalY);
                reference->FindPath(query.startX, query.startY, query.goalX, query.goalY);
                ExpectSameResults(*fast, *reference);
                ExpectSameCells(*fast, *reference, shape.columns, shape.rows);
                // The start and the goal may lie one column or row past the region.
                EXPECT_EQ(fast->Cells[query.startX][query.startY],
                          reference->Cells[query.startX][query.startY]);
                EXPECT_EQ(fast->Cells[query.goalX][query.goalY],
                          reference->Cells[query.goalX][query.goalY]);
                if (HasFailure()) {
                    return;
                }
                outcomes[static_cast<int>(Classify(*reference, refused))]++;
                queries++;
            }
            ExpectSameCells(*fast, *reference, GRID_COLUMNS, GRID_ROWS);
        }
        ExpectEveryNodeOnce(*fast);
        ExpectEveryNodeOnce(*reference);
    }
    EXPECT_GE(queries, 10000u);
    // The mix must stay meaningful: most queries search, some fail either way.
    EXPECT_GT(outcomes[static_cast<int>(Outcome::Found)], queries / 3);
    EXPECT_GT(outcomes[static_cast<int>(Outcome::NoPath)], 100u);
    EXPECT_GT(outcomes[static_cast<int>(Outcome::Refused)], 100u);
}

// Searches that need more than the pool: the fast list must fail on the same node,
// leaving the same nodes in the same lists, and the next search must agree too.
TEST(OpenListDifferential, PoolRunsOutAtTheSameNode) {
    auto fast = NewSearch();
    auto reference = NewSearch();
    reference->UseReferenceOpenList = true;
    struct Case {
        uint32_t cellSize, weight;
        Switch straight;
        Query query;
    };
    const Case cases[] = {
        {1, 0, SWITCH_OFF, {400, 300, 790, 590}},
        {2, 0, SWITCH_ON, {10, 10, 390, 290}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "cell size " << c.cellSize);
        SearchSettings settings(c.cellSize, c.weight, c.straight);
        // An open field with a wall that hides the goal from everything the
        // search reaches, so the straight-line check never ends it early.
        std::memset(fast->Cells, 0, sizeof(fast->Cells));
        const uint32_t columns = GRID_COLUMNS / c.cellSize;
        const uint32_t rows = GRID_ROWS / c.cellSize;
        for (uint32_t y = 1; y < rows; y++) {
            fast->Cells[columns - 20][y] = CELL_BLOCKED;
        }
        Copy(*fast, *reference);
        fast->FindPath(c.query.startX, c.query.startY, c.query.goalX, c.query.goalY);
        reference->FindPath(c.query.startX, c.query.startY, c.query.goalX, c.query.goalY);
        EXPECT_EQ(reference->ClosedList.size() + reference->OpenList.size(), NODE_POOL_SIZE);
        ExpectSameResults(*fast, *reference);
        ExpectSameCells(*fast, *reference, GRID_COLUMNS, GRID_ROWS);
        ExpectEveryNodeOnce(*fast);

        fast->FindPath(c.query.startX, c.query.startY, c.query.startX + 5, c.query.startY + 3);
        reference->FindPath(c.query.startX, c.query.startY, c.query.startX + 5, c.query.startY + 3);
        ExpectSameResults(*fast, *reference);
        ExpectSameCells(*fast, *reference, GRID_COLUMNS, GRID_ROWS);
        EXPECT_EQ(ReadPath(*reference).front(), Cell(c.query.startX + 5, c.query.startY + 3));
    }
}

} // namespace
