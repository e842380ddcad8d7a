#pragma once
// Helpers for search tests: fresh search objects on the heap, the settings the
// search reads, and grids drawn as text.

#include <memory>
#include <string>
#include <vector>

#include "app/globals.h"
#include "search/grid_search.h"

// Sets the globals the search reads for the life of a test, and puts the
// start-up values back afterwards.
class SearchSettings {
  public:
    SearchSettings(uint32_t cellSize, uint32_t weight = 0, Switch straight = SWITCH_OFF,
                   Switch filter = SWITCH_OFF) {
        CellSize = cellSize;
        HeuristicWeight = weight;
        UseStraightLineCheck = straight;
        UseAdvancedFiltering = filter;
    }
    ~SearchSettings() {
        CellSize = 10;
        HeuristicWeight = 0;
        UseStraightLineCheck = SWITCH_OFF;
        UseAdvancedFiltering = SWITCH_OFF;
    }
};

inline std::unique_ptr<GridSearch> NewSearch() {
    return std::make_unique<GridSearch>();
}

// Marks cells from rows of text placed at the top-left: '#' blocked, anything else free.
inline void DrawGrid(GridSearch& search, const std::vector<std::string>& rows) {
    for (uint32_t y = 0; y < rows.size(); y++) {
        for (uint32_t x = 0; x < rows[y].size(); x++) {
            search.Cells[x][y] = rows[y][x] == '#' ? CELL_BLOCKED : 0;
        }
    }
}

// The path list as every reader sees it: the points up to the first x = 0.
inline std::vector<std::pair<uint32_t, uint32_t>> ReadPath(const GridSearch& search) {
    std::vector<std::pair<uint32_t, uint32_t>> points;
    for (uint32_t i = 0; i < PATH_CAPACITY && search.PathPoints[i].x != 0; i++) {
        points.emplace_back(search.PathPoints[i].x, search.PathPoints[i].y);
    }
    return points;
}

using Cell = std::pair<uint32_t, uint32_t>;
using CellList = std::vector<Cell>;
