#pragma once
// The one search object: the occupancy grid sampled from the map, the path-point
// lists that carry a found path to the renderer, the working fields of the
// search, and a fixed pool of search nodes that circulate through three lists.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/win_types.h"

constexpr uint32_t GRID_COLUMNS = 800; // a cell size of 1 gives one cell per pixel
constexpr uint32_t GRID_ROWS = 600;
constexpr uint32_t PATH_CAPACITY = 1000;    // entries of PathPoints and FilterPoints
constexpr uint32_t NODE_POOL_SIZE = 100000; // nodes made at construction

// Flag bits of a cell word; every other bit stays 0.
constexpr uint32_t CELL_BLOCKED = 1; // not walkable
constexpr uint32_t CELL_VISITED = 2; // the current search made a node for this cell

// Step costs, also the heuristic's factors for straight and diagonal parts.
constexpr uint32_t STRAIGHT_COST = 3;
constexpr uint32_t DIAGONAL_COST = 4;
// Starting value of BestF in every scan of the open list.
constexpr uint32_t BEST_F_START = 10000;
// Buckets of the fast open list, one per value of f: room for f up to
// 4 * NODE_POOL_SIZE (the deepest chain of diagonal steps) plus the largest
// estimate on the grid at weight 41.
constexpr uint32_t OPEN_BUCKETS = 1u << 19;
// No node, in the bucket queue's links.
constexpr uint32_t NO_NODE = 0xFFFFFFFFu;

// How the last call of FindPath ended. The search itself reports nothing; this
// is for the tools and tests that need to tell the endings apart.
enum class SearchOutcome {
    NONE,           // no search yet
    REFUSED,        // start or goal blocked, or outside the grid: nothing changed
    NO_PATH,        // the open list ran empty
    POOL_EXHAUSTED, // the search needed more than NODE_POOL_SIZE nodes
    FOUND,          // the goal was reached or seen; PathPoints holds the new path
};

// A point in cell coordinates. A point list ends at the first entry whose x is
// 0, so a cell in column 0 cannot be stored as an ordinary point.
struct PathPoint {
    uint32_t x;
    uint32_t y;
};

// A node of the search. It has no constructor: the pool hands nodes out with
// whatever their previous use left in them, and the search writes every field.
struct SearchNode {
    uint32_t x;
    uint32_t y;
    uint32_t g; // cost from the start: 3 per straight step, 4 per diagonal step
    uint32_t h; // heuristic estimate of the cost to the goal
    uint32_t f; // g + h
    SearchNode* parent;
};

class GridSearch {
  public:
    GridSearch();
    ~GridSearch();
    GridSearch(const GridSearch&) = delete;
    GridSearch& operator=(const GridSearch&) = delete;

    // Pool: takes the node returned most recently, or null when the pool is empty.
    SearchNode* AllocNode();
    // Returns every node of ClosedList, then of OpenList, to the pool.
    void RecycleNodes();

    // Weighted A* from the start cell to the goal cell over the 8-connected grid.
    void FindPath(uint32_t startX, uint32_t startY, uint32_t goalX, uint32_t goalY);
    int32_t Heuristic(int32_t x1, int32_t y1, int32_t x2, int32_t y2);

    // Writes the parent chain of CurrentNode into PathPoints, goal first, and
    // runs the filter when it is switched on.
    void ExtractPath(uint32_t goalX, uint32_t goalY);
    // Drops path points that a straight line between their neighbours can skip.
    void AdvancedFilter();

    // True when the straight segment between the two cells crosses no blocked cell.
    bool LineOfSight(int32_t x1, int32_t y1, int32_t x2, int32_t y2);
    int32_t RoundToCell(float v);

    // Classifies the grid from a map bitmap at the current cell size and makes
    // the map picture. A file that cannot be read blocks every cell and leaves
    // no picture, and says why on standard error.
    void LoadMap(std::string fileName);
    // True when the map pixel is anything but pure black.
    bool IsPixelSet(int32_t x, int32_t y);
    // Releases the device context, bitmap and picture of the last load.
    void ReleaseMap();

    // The occupancy grid, column by column: the word of cell (x, y) is Cells[x][y].
    uint32_t Cells[GRID_COLUMNS][GRID_ROWS] = {};
    // The path last found, goal first; read by the renderer.
    PathPoint PathPoints[PATH_CAPACITY] = {};
    // Scratch list of the filter.
    PathPoint FilterPoints[PATH_CAPACITY] = {};
    HDC MapDC = nullptr;
    HBITMAP MapBitmap = nullptr;
    SearchNode* NewNode = nullptr;
    bool StraightLineFound = false;
    uint32_t BestF = 0;
    uint32_t BestIndex = 0;
    uint32_t LoopI = 0;
    uint32_t LoopJ = 0;
    uint32_t LoopK = 0;
    uint32_t PathCount = 0;
    // Nodes made by the current search and not yet expanded (in creation order
    // only with the reference rule, see UseReferenceOpenList).
    std::vector<SearchNode*> OpenList;
    // Nodes the current search has expanded, in expansion order.
    std::vector<SearchNode*> ClosedList;
    // The pool: nodes not in use.
    std::vector<SearchNode*> FreeList;
    SearchNode* CurrentNode = nullptr;
    SearchNode* StartNode = nullptr;
    SearchOutcome Outcome = SearchOutcome::NONE;

    // How the search picks the next node from OpenList. Either way it is the
    // open node of least f, the earliest created winning ties, so both ways
    // expand the same nodes in the same order and leave the same results.
    //  - false (the default, used by the workbench): a bucket queue, one queue
    //    per value of f, each in creation order (open_list.cpp). OpenList then
    //    holds the open nodes in no particular order, BestF holds the f of the
    //    node taken and BestIndex its index in OpenList before it was taken.
    //  - true: the plain rule, kept as the reference for tests and benchmarks:
    //    OpenList in creation order, scanned from the front for the strictly
    //    least f, the chosen node removed keeping the order of the others.
    // The bucket queue also gives way to the scan for a search whose f values
    // could exceed its buckets, which only heuristic weights far above 10 do.
    // Switch it only between searches.
    bool UseReferenceOpenList = false;
    // True while the current search uses the scan.
    bool ScanOpenList = false;
    // The bucket queue. Nodes are known by their creation number in the search.
    std::vector<uint32_t> OpenNumbers;  // creation number of OpenList[i]
    std::vector<uint32_t> NumberIndex;  // index in OpenList, by creation number
    std::vector<uint32_t> NumberF;      // f, by creation number
    std::vector<uint32_t> NextInBucket; // the next node of the same f, by creation number
    std::vector<uint32_t> BucketFirst;  // first node of each f, or NO_NODE
    std::vector<uint32_t> BucketLast;   // last node of each f, when there is a first
    uint32_t CreationCount = 0;         // creation number of the next node
    uint32_t LeastF = 0;                // no open node has a smaller f

  private:
    void ChooseBestNode();
    // Chooses the open list's discipline for a search towards the goal.
    void BeginOpenList(uint32_t goalX, uint32_t goalY);
    // Appends a node whose fields are written to OpenList.
    void PushOpenNode(SearchNode* node);
    // Removes the node to expand next from OpenList, which is not empty, and returns it.
    SearchNode* TakeBestNode();
};

// The program's one search object.
extern GridSearch Search;
