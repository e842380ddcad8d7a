// Path extraction and the filtering pass. A point list ends at the first entry
// whose x is 0; every writer also leaves x = 0 in the two entries after the end
// entry, as far as the array reaches, because the filter looks two entries ahead.

#include "app/globals.h"
#include "search/grid_search.h"

// The longest list an array holds: 999 points and the end entry.
static constexpr uint32_t MAX_PATH_POINTS = PATH_CAPACITY - 1;

// The x of a list entry; entries past the array read as end entries, so the
// filter's look-ahead stops at the array's end instead of reading beyond it.
static uint32_t EntryX(const PathPoint* list, uint32_t index) {
    return index < PATH_CAPACITY ? list[index].x : 0;
}

// Writes x = 0 at index and at the two entries after it, as far as the array reaches.
static void WriteEndEntries(PathPoint* list, uint32_t index) {
    for (uint32_t k = index; k < index + 3 && k < PATH_CAPACITY; k++) {
        list[k].x = 0;
    }
}

void GridSearch::ExtractPath(uint32_t goalX, uint32_t goalY) {
    PathCount = 0;
    if (StraightLineFound) {
        StraightLineFound = false;
        PathPoints[0] = {goalX, goalY};
        PathCount = 1;
    }
    // A chain longer than the list keeps the points nearest the goal.
    while (CurrentNode != nullptr && PathCount < MAX_PATH_POINTS) {
        PathPoints[PathCount] = {CurrentNode->x, CurrentNode->y};
        CurrentNode = CurrentNode->parent;
        PathCount++;
    }
    CurrentNode = nullptr;
    WriteEndEntries(PathPoints, PathCount);

    if (UseAdvancedFiltering == SWITCH_ON) {
        AdvancedFilter();
    }
}

void GridSearch::AdvancedFilter() {
    // Up to ten passes while the list holds at least three points. There is no
    // early stop: a pass that drops nothing is simply repeated.
    for (LoopJ = 0; LoopJ < 10 && EntryX(PathPoints, 2) != 0; LoopJ++) {
        // Step 1: walk the list, keeping a point and skipping the next one
        // whenever the points on either side of it see each other.
        PathCount = 0;
        LoopI = 0;
        while (EntryX(PathPoints, LoopI + 2) != 0) {
            FilterPoints[PathCount] = PathPoints[LoopI];
            PathCount++;
            const PathPoint& near = PathPoints[LoopI];
            const PathPoint& far = PathPoints[LoopI + 2];
            if (LineOfSight(static_cast<int32_t>(near.x), static_cast<int32_t>(near.y),
                            static_cast<int32_t>(far.x), static_cast<int32_t>(far.y))) {
                LoopI += 2;
            } else {
                LoopI += 1;
            }
        }

        // Step 2: the last one or two entries close the pass, whatever they
        // hold; an end entry copied here ends the list. Entries past the
        // array are end entries.
        FilterPoints[PathCount] = PathPoints[LoopI];
        if (PathCount + 1 < PATH_CAPACITY) {
            FilterPoints[PathCount + 1] =
                LoopI + 1 < PATH_CAPACITY ? PathPoints[LoopI + 1] : PathPoint{0, 0};
        }
        if (PathCount + 2 < PATH_CAPACITY) {
            FilterPoints[PathCount + 2].x = 0;
        }

        // Step 3: copy the filtered list back.
        for (LoopK = 0; LoopK < PATH_CAPACITY && FilterPoints[LoopK].x != 0; LoopK++) {
            PathPoints[LoopK] = FilterPoints[LoopK];
        }
        WriteEndEntries(PathPoints, LoopK);
    }
}
