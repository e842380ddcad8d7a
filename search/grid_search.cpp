#include "search/grid_search.h"

GridSearch Search;
