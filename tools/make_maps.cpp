// brassel-make-maps OUTDIR: draws the four maps the workbench ships with and writes them as
// OUTDIR/hittest0.bmp .. hittest3.bmp, 800 x 600, 8-bit palettized and RLE8-compressed.
//
// Every map keeps black as free ground and draws obstacles in a few colours. Walls are about 20
// pixels thick and corridors and doors at least 30 pixels wide, walls and doors on positions that
// are multiples of 10, so the default cell size of 10 (one sample at each cell's top-left pixel)
// sees the same layout the eye does. The top-left corner stays free: the default start is cell
// (0, 0) and the overlay panel covers that corner.
//
// The output is identical on every machine: a fixed seed, our own generator and integer
// geometry only.

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "tools/bmp_rle8.h"

namespace {

constexpr int MAP_WIDTH = 800;
constexpr int MAP_HEIGHT = 600;
constexpr int CHECK_CELL_SIZE = 10;
// Share of the free cells that a flood fill from cell (1, 1) must reach at CHECK_CELL_SIZE.
constexpr double MIN_REACHED_SHARE = 0.9;

using Rgb = PaletteColour;

enum Colour : uint8_t {
    FREE = 0,
    SLATE,
    TEAL,
    SAND,
    PLUM,
    OLIVE,
    ROSE,
    INDIGO,
    // Obstacles that look black but are not: the loader treats only exact black as free ground.
    NEAR_BLACK_GREY,
    NEAR_BLACK_BLUE,
    NEAR_BLACK_RED,
    COLOUR_COUNT
};

constexpr std::array<Rgb, COLOUR_COUNT> PALETTE = {{
    {0, 0, 0},
    {72, 96, 140},
    {38, 130, 128},
    {190, 160, 100},
    {128, 78, 150},
    {118, 132, 58},
    {176, 96, 120},
    {60, 60, 130},
    {1, 1, 1},
    {0, 0, 8},
    {12, 0, 0},
}};

constexpr std::array<Colour, 7> BRIGHT_COLOURS = {SLATE, TEAL, SAND, PLUM, OLIVE, ROSE, INDIGO};

// splitmix64: tiny, fast and fully specified, so every build draws the same maps.
class Random {
  public:
    explicit Random(uint64_t seed) : state(seed) {}

    uint64_t Next() {
        uint64_t z = (state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }

    // Uniform in [lo, hi]; the modulo bias is irrelevant at these ranges.
    int Range(int lo, int hi) { return lo + static_cast<int>(Next() % uint64_t(hi - lo + 1)); }

    // Like Range, on multiples of step.
    int Step(int lo, int hi, int step) { return Range(lo / step, hi / step) * step; }

    bool Chance(int percent) { return Range(0, 99) < percent; }

  private:
    uint64_t state;
};

struct Box {
    int x0, y0, x1, y1; // half-open: [x0, x1) x [y0, y1)

    bool Overlaps(const Box& o) const { return x0 < o.x1 && o.x0 < x1 && y0 < o.y1 && o.y0 < y1; }
    Box Grown(int d) const { return {x0 - d, y0 - d, x1 + d, y1 + d}; }
};

class Image {
  public:
    Image() : pixels(MAP_WIDTH * MAP_HEIGHT, FREE) {}

    uint8_t At(int x, int y) const { return pixels[y * MAP_WIDTH + x]; }

    void Set(int x, int y, uint8_t c) {
        if (x >= 0 && x < MAP_WIDTH && y >= 0 && y < MAP_HEIGHT) {
            pixels[y * MAP_WIDTH + x] = c;
        }
    }

    void FillBox(const Box& b, uint8_t c) {
        for (int y = std::max(b.y0, 0); y < std::min(b.y1, MAP_HEIGHT); ++y) {
            for (int x = std::max(b.x0, 0); x < std::min(b.x1, MAP_WIDTH); ++x) {
                pixels[y * MAP_WIDTH + x] = c;
            }
        }
    }

    void FillRect(int x, int y, int w, int h, uint8_t c) { FillBox({x, y, x + w, y + h}, c); }

    // Annulus between the two radii; with an open side, a strip gapHalf pixels to either side
    // of the axis pointing that way stays free, which turns the ring into a pocket.
    enum Side { CLOSED, RIGHT, DOWN, LEFT, UP };
    void FillRing(int cx, int cy, int rOuter, int rInner, Side open, int gapHalf, uint8_t c) {
        for (int y = cy - rOuter; y <= cy + rOuter; ++y) {
            for (int x = cx - rOuter; x <= cx + rOuter; ++x) {
                const int dx = x - cx;
                const int dy = y - cy;
                const int d2 = dx * dx + dy * dy;
                if (d2 > rOuter * rOuter || d2 < rInner * rInner) {
                    continue;
                }
                const bool inGap = (open == RIGHT && dx > 0 && std::abs(dy) < gapHalf) ||
                                   (open == LEFT && dx < 0 && std::abs(dy) < gapHalf) ||
                                   (open == DOWN && dy > 0 && std::abs(dx) < gapHalf) ||
                                   (open == UP && dy < 0 && std::abs(dx) < gapHalf);
                if (!inGap) {
                    Set(x, y, c);
                }
            }
        }
    }

    void FillCircle(int cx, int cy, int r, uint8_t c) { FillRing(cx, cy, r, 0, CLOSED, 0, c); }

    void FillTriangle(int ax, int ay, int bx, int by, int qx, int qy, uint8_t c) {
        const int minX = std::min({ax, bx, qx});
        const int maxX = std::max({ax, bx, qx});
        const int minY = std::min({ay, by, qy});
        const int maxY = std::max({ay, by, qy});
        for (int y = minY; y <= maxY; ++y) {
            for (int x = minX; x <= maxX; ++x) {
                const int64_t e0 = Edge(ax, ay, bx, by, x, y);
                const int64_t e1 = Edge(bx, by, qx, qy, x, y);
                const int64_t e2 = Edge(qx, qy, ax, ay, x, y);
                if ((e0 >= 0 && e1 >= 0 && e2 >= 0) || (e0 <= 0 && e1 <= 0 && e2 <= 0)) {
                    Set(x, y, c);
                }
            }
        }
    }

    // Every pixel within halfWidth of the segment: a bar with round ends.
    void FillBar(int ax, int ay, int bx, int by, int halfWidth, uint8_t c) {
        const int64_t vx = bx - ax;
        const int64_t vy = by - ay;
        const int64_t len2 = vx * vx + vy * vy;
        const int64_t hw2 = int64_t(halfWidth) * halfWidth;
        for (int y = std::min(ay, by) - halfWidth; y <= std::max(ay, by) + halfWidth; ++y) {
            for (int x = std::min(ax, bx) - halfWidth; x <= std::max(ax, bx) + halfWidth; ++x) {
                const int64_t px = x - ax;
                const int64_t py = y - ay;
                const int64_t t = px * vx + py * vy;
                bool inside;
                if (t <= 0) {
                    inside = px * px + py * py <= hw2;
                } else if (t >= len2) {
                    const int64_t qx = x - bx;
                    const int64_t qy = y - by;
                    inside = qx * qx + qy * qy <= hw2;
                } else {
                    const int64_t cross = px * vy - py * vx;
                    inside = cross * cross <= hw2 * len2;
                }
                if (inside) {
                    Set(x, y, c);
                }
            }
        }
    }

    // Axis-aligned wall through a chain of corner points; each point is the top-left pixel of
    // a thickness x thickness block, so consecutive walls join without notches.
    void FillWallChain(const std::vector<std::array<int, 2>>& points, int thickness, uint8_t c) {
        for (size_t i = 0; i + 1 < points.size(); ++i) {
            const auto [ax, ay] = points[i];
            const auto [bx, by] = points[i + 1];
            FillBox({std::min(ax, bx), std::min(ay, by), std::max(ax, bx) + thickness,
                     std::max(ay, by) + thickness},
                    c);
        }
    }

    std::vector<uint8_t> pixels;

  private:
    static int64_t Edge(int ax, int ay, int bx, int by, int x, int y) {
        return int64_t(bx - ax) * (y - ay) - int64_t(by - ay) * (x - ax);
    }
};

// The top-left corner kept free in every map: the default start and the overlay panel.
constexpr Box START_CORNER = {0, 0, 160, 180};

// --- hittest0: open ground with scattered obstacles of many shapes -------------------------

Image DrawScatteredShapes() {
    Image img;
    Random rng(0x6272617373656c30ull);
    std::vector<Box> taken = {START_CORNER};

    // Keeps at least 30 pixels (three cells) of free ground between any two shapes, so the
    // ground between them stays one open field at the default cell size.
    auto place = [&](int w, int h, Box& out) {
        for (int attempt = 0; attempt < 400; ++attempt) {
            const int x = rng.Range(20, MAP_WIDTH - 20 - w);
            const int y = rng.Range(20, MAP_HEIGHT - 20 - h);
            const Box b = {x, y, x + w, y + h};
            if (std::none_of(taken.begin(), taken.end(),
                             [&](const Box& t) { return t.Grown(30).Overlaps(b); })) {
                taken.push_back(b);
                out = b;
                return true;
            }
        }
        return false;
    };

    auto drawShape = [&](int kind, uint8_t colour) {
        Box b{};
        switch (kind) {
        case 0: { // rectangle
            const int w = rng.Range(30, 90);
            const int h = rng.Range(30, 90);
            if (place(w, h, b)) {
                img.FillBox(b, colour);
            }
            break;
        }
        case 1: { // circle
            const int r = rng.Range(16, 40);
            if (place(2 * r + 1, 2 * r + 1, b)) {
                img.FillCircle(b.x0 + r, b.y0 + r, r, colour);
            }
            break;
        }
        case 2: { // triangle inside its box, one corner on each of three sides
            const int w = rng.Range(50, 100);
            const int h = rng.Range(50, 100);
            const int apex = rng.Range(0, w - 1);
            const int side = rng.Range(h / 2, h - 1);
            if (place(w, h, b)) {
                img.FillTriangle(b.x0 + apex, b.y0, b.x1 - 1, b.y0 + side, b.x0, b.y1 - 1, colour);
            }
            break;
        }
        case 3: { // ring open on one side: a small pocket
            const int r = rng.Range(36, 50);
            if (place(2 * r + 1, 2 * r + 1, b)) {
                const auto side = static_cast<Image::Side>(rng.Range(1, 4));
                img.FillRing(b.x0 + r, b.y0 + r, r, r - 18, side, 22, colour);
            }
            break;
        }
        default: { // diagonal bar
            const int dx = rng.Range(50, 120);
            const int dy = rng.Range(50, 120);
            const int hw = rng.Range(10, 13);
            if (place(dx + 2 * hw + 1, dy + 2 * hw + 1, b)) {
                const int ax = b.x0 + hw;
                const int ay = b.y0 + hw;
                if (rng.Chance(50)) {
                    img.FillBar(ax, ay, ax + dx, ay + dy, hw, colour);
                } else {
                    img.FillBar(ax, ay + dy, ax + dx, ay, hw, colour);
                }
            }
            break;
        }
        }
    };

    // One closed ring: the free ground inside it is cut off, so a goal there has no path.
    Box ring{};
    if (place(101, 101, ring)) {
        img.FillRing(ring.x0 + 50, ring.y0 + 50, 50, 30, Image::CLOSED, 0, PLUM);
    }
    // The near-black ones first, so they surely find room.
    drawShape(0, NEAR_BLACK_GREY);
    drawShape(1, NEAR_BLACK_BLUE);
    drawShape(4, NEAR_BLACK_RED);
    drawShape(2, NEAR_BLACK_GREY);
    for (int i = 0; i < 80; ++i) {
        drawShape(i % 5, BRIGHT_COLOURS[rng.Range(0, int(BRIGHT_COLOURS.size()) - 1)]);
    }
    return img;
}

// --- hittest1: a maze of corridors ---------------------------------------------------------

Image DrawMaze() {
    // 13 x 9 maze cells: 40-pixel corridors between 20-pixel walls, inside a frame 20 pixels
    // thick at the sides and 40 at the top and bottom (20 + 13 * 60 = 800, 40 + 9 * 60 - 20 + 40
    // = 600).
    constexpr int COLS = 13;
    constexpr int ROWS = 9;
    constexpr int PITCH = 60;
    constexpr int CORRIDOR = 40;
    constexpr int LEFT = 20;
    constexpr int TOP = 40;

    Image img;
    Random rng(0x6272617373656c31ull);

    // openEast[c][r]: passage from cell (c, r) to (c + 1, r); openSouth likewise downwards.
    std::vector<std::vector<bool>> openEast(COLS, std::vector<bool>(ROWS, false));
    std::vector<std::vector<bool>> openSouth(COLS, std::vector<bool>(ROWS, false));
    std::vector<std::vector<bool>> seen(COLS, std::vector<bool>(ROWS, false));

    // Depth-first carving gives long winding corridors.
    std::vector<std::array<int, 2>> stack = {{0, 0}};
    seen[0][0] = true;
    while (!stack.empty()) {
        const auto [c, r] = stack.back();
        std::array<std::array<int, 2>, 4> next{};
        int count = 0;
        for (const auto& d : {std::array<int, 2>{1, 0}, {-1, 0}, {0, 1}, {0, -1}}) {
            const int nc = c + d[0];
            const int nr = r + d[1];
            if (nc >= 0 && nc < COLS && nr >= 0 && nr < ROWS && !seen[nc][nr]) {
                next[count++] = {nc, nr};
            }
        }
        if (count == 0) {
            stack.pop_back();
            continue;
        }
        const auto [nc, nr] = next[rng.Range(0, count - 1)];
        if (nc != c) {
            openEast[std::min(c, nc)][r] = true;
        } else {
            openSouth[c][std::min(r, nr)] = true;
        }
        seen[nc][nr] = true;
        stack.push_back({nc, nr});
    }
    // A few extra passages make loops, so there is more than one way and the weight matters.
    for (int added = 0; added < 10;) {
        const int c = rng.Range(0, COLS - 2);
        const int r = rng.Range(0, ROWS - 2);
        auto& open = rng.Chance(50) ? openEast : openSouth;
        if (!open[c][r]) {
            open[c][r] = true;
            ++added;
        }
    }

    // Indigo frame, slate walls inside it.
    img.FillRect(0, 0, MAP_WIDTH, MAP_HEIGHT, INDIGO);
    img.FillRect(LEFT, TOP, COLS * PITCH - 20, ROWS * PITCH - 20, SLATE);
    auto cellX = [&](int c) { return LEFT + c * PITCH; };
    auto cellY = [&](int r) { return TOP + r * PITCH; };
    for (int c = 0; c < COLS; ++c) {
        for (int r = 0; r < ROWS; ++r) {
            img.FillRect(cellX(c), cellY(r), CORRIDOR, CORRIDOR, FREE);
            if (openEast[c][r]) {
                img.FillRect(cellX(c) + CORRIDOR, cellY(r), PITCH - CORRIDOR, CORRIDOR, FREE);
            }
            if (openSouth[c][r]) {
                img.FillRect(cellX(c), cellY(r) + CORRIDOR, CORRIDOR, PITCH - CORRIDOR, FREE);
            }
        }
    }

    // Diagonal gaps: two blocks across a straight corridor, one against each side wall,
    // touching only at one corner. They look like a closed door, but the search steps
    // diagonally between them. Only where the cells beside the blocks have no side passage
    // that a block would half cover.
    // Two pairs never share or touch a maze cell, or they could close the corridor together.
    std::vector<std::vector<bool>> nearGap(COLS, std::vector<bool>(ROWS, false));
    auto claim = [&](int c, int r) {
        for (int nc = std::max(c - 1, 0); nc <= std::min(c + 1, COLS - 1); ++nc) {
            for (int nr = std::max(r - 1, 0); nr <= std::min(r + 1, ROWS - 1); ++nr) {
                nearGap[nc][nr] = true;
            }
        }
    };
    int gaps = 0;
    for (int attempt = 0; attempt < 500 && gaps < 4; ++attempt) {
        const int c = rng.Range(2, COLS - 2);
        const int r = rng.Range(1, ROWS - 2);
        const bool across = rng.Chance(50);
        if (across) {
            // Across an east-west corridor from (c, r) to (c + 1, r): upper block in c, lower
            // block in c + 1.
            if (!openEast[c][r] || openSouth[c][r - 1] || openSouth[c + 1][r] || nearGap[c][r] ||
                nearGap[c + 1][r]) {
                continue;
            }
            img.FillRect(cellX(c) + 20, cellY(r), 40, 20, SAND);
            img.FillRect(cellX(c) + 60, cellY(r) + 20, 40, 20, SAND);
            claim(c, r);
            claim(c + 1, r);
        } else {
            // Across a north-south corridor from (c, r) to (c, r + 1): right block in r, left
            // block in r + 1.
            if (!openSouth[c][r] || openEast[c][r] || openEast[c - 1][r + 1] || nearGap[c][r] ||
                nearGap[c][r + 1]) {
                continue;
            }
            img.FillRect(cellX(c) + 20, cellY(r) + 20, 20, 40, SAND);
            img.FillRect(cellX(c), cellY(r) + 60, 20, 40, SAND);
            claim(c, r);
            claim(c, r + 1);
        }
        ++gaps;
    }

    // The four top-left maze cells and the frame corner become one open start room.
    img.FillRect(0, 0, cellX(1) + CORRIDOR, cellY(1) + CORRIDOR, FREE);
    return img;
}

// --- hittest2: rooms joined by doors -------------------------------------------------------

struct RoomPlan {
    Image& img;
    Random& rng;
    std::vector<Box> doors; // no later wall may come within 20 pixels of these
    std::vector<Box> rooms;
};

constexpr int ROOM_WALL = 20;
constexpr int MIN_ROOM = 100;

void PutDoors(RoomPlan& plan, const Box& wall, bool vertical) {
    const int length = vertical ? wall.y1 - wall.y0 : wall.x1 - wall.x0;
    const int start = vertical ? wall.y0 : wall.x0;
    // Long walls often get a second door, so some rooms have several ways out.
    const int count = length >= 260 && plan.rng.Chance(45) ? 2 : 1;
    for (int k = 0; k < count; ++k) {
        const int width = plan.rng.Chance(50) ? 30 : 40;
        // Each door in its own share of the wall, 20 pixels clear of the ends.
        const int lo = start + 20 + k * length / count;
        const int hi = start + (k + 1) * length / count - 20 - width;
        const int at = plan.rng.Step(lo + 9, hi, 10);
        const Box door = vertical ? Box{wall.x0, at, wall.x1, at + width}
                                  : Box{at, wall.y0, at + width, wall.y1};
        plan.img.FillBox(door, FREE);
        plan.doors.push_back(door);
    }
}

void SplitRooms(RoomPlan& plan, const Box& area, int depth) {
    const int w = area.x1 - area.x0;
    const int h = area.y1 - area.y0;
    const bool canVertical = w >= 2 * MIN_ROOM + ROOM_WALL;
    const bool canHorizontal = h >= 2 * MIN_ROOM + ROOM_WALL;
    // Leave some rooms large, but never the biggest ones.
    const bool stop = depth >= 2 && w * h < 200 * 200 && plan.rng.Chance(40);
    if ((!canVertical && !canHorizontal) || stop) {
        plan.rooms.push_back(area);
        return;
    }
    const bool vertical =
        canVertical && (!canHorizontal || w > h || (w == h && plan.rng.Chance(50)));
    for (int attempt = 0; attempt < 40; ++attempt) {
        Box wall{};
        if (vertical) {
            const int s = plan.rng.Step(area.x0 + MIN_ROOM + 9, area.x1 - MIN_ROOM - ROOM_WALL, 10);
            wall = {s, area.y0, s + ROOM_WALL, area.y1};
        } else {
            const int s = plan.rng.Step(area.y0 + MIN_ROOM + 9, area.y1 - MIN_ROOM - ROOM_WALL, 10);
            wall = {area.x0, s, area.x1, s + ROOM_WALL};
        }
        if (std::any_of(plan.doors.begin(), plan.doors.end(),
                        [&](const Box& d) { return d.Grown(20).Overlaps(wall); })) {
            continue;
        }
        plan.img.FillBox(wall, SAND);
        PutDoors(plan, wall, vertical);
        if (vertical) {
            SplitRooms(plan, {area.x0, area.y0, wall.x0, area.y1}, depth + 1);
            SplitRooms(plan, {wall.x1, area.y0, area.x1, area.y1}, depth + 1);
        } else {
            SplitRooms(plan, {area.x0, area.y0, area.x1, wall.y0}, depth + 1);
            SplitRooms(plan, {area.x0, wall.y1, area.x1, area.y1}, depth + 1);
        }
        return;
    }
    plan.rooms.push_back(area);
}

Image DrawRooms() {
    Image img;
    Random rng(0x6272617373656c32ull);
    RoomPlan plan{img, rng, {START_CORNER}, {}};

    img.FillRect(0, 0, MAP_WIDTH, MAP_HEIGHT, SAND);
    const Box inside = {ROOM_WALL, ROOM_WALL, MAP_WIDTH - ROOM_WALL, MAP_HEIGHT - ROOM_WALL};
    img.FillBox(inside, FREE);
    SplitRooms(plan, inside, 0);

    // Furniture in the larger rooms, 40 pixels clear of the walls so no door is blocked.
    constexpr std::array<uint8_t, 4> FURNITURE = {TEAL, PLUM, OLIVE, ROSE};
    int n = 0;
    for (const Box& room : plan.rooms) {
        const Box space = room.Grown(-40);
        const int w = space.x1 - space.x0;
        const int h = space.y1 - space.y0;
        if (w < 60 || h < 60 || room.Overlaps(START_CORNER.Grown(20))) {
            continue;
        }
        const uint8_t colour = FURNITURE[n++ % FURNITURE.size()];
        const int cx = (space.x0 + space.x1) / 2;
        const int cy = (space.y0 + space.y1) / 2;
        switch (rng.Range(0, 2)) {
        case 0: // a table
            img.FillRect(cx - w / 4, cy - h / 4, std::max(w / 2, 20), std::max(h / 2, 20), colour);
            break;
        case 1: // a round pillar
            img.FillCircle(cx, cy, std::min(w, h) / 4 + 8, colour);
            break;
        default: // two pillars side by side along the longer axis
            if (w >= h) {
                img.FillCircle(space.x0 + w / 4, cy, std::min(h / 4, 20) + 6, colour);
                img.FillCircle(space.x1 - w / 4, cy, std::min(h / 4, 20) + 6, colour);
            } else {
                img.FillCircle(cx, space.y0 + h / 4, std::min(w / 4, 20) + 6, colour);
                img.FillCircle(cx, space.y1 - h / 4, std::min(w / 4, 20) + 6, colour);
            }
            break;
        }
    }

    img.FillBox(START_CORNER, FREE);
    return img;
}

// --- hittest3: concave traps -----------------------------------------------------------------

Image DrawTraps() {
    // Most searches start near the top-left corner, so the pockets open towards it: a greedy
    // search runs straight into them and must back out again.
    Image img;

    // A pocket open to the left, facing the start, with free ground behind it.
    img.FillWallChain({{220, 80}, {400, 80}, {400, 280}, {220, 280}}, 20, PLUM);

    // A cup open to the top, for goals below it.
    img.FillWallChain({{40, 370}, {40, 540}, {200, 540}, {200, 370}}, 20, TEAL);

    // A corner whose inside faces the top-left, for goals towards the bottom right.
    img.FillWallChain({{420, 340}, {420, 500}, {280, 500}}, 20, OLIVE);

    // A long wall from the top edge down, open only at its far end: everything to its right is
    // reached through the gap at the bottom.
    img.FillRect(480, 0, 20, 520, ROSE);

    // A spiral entered from below; its centre is a goal far along the corridor from anywhere
    // outside.
    img.FillWallChain({{520, 280},
                       {520, 40},
                       {760, 40},
                       {760, 280},
                       {580, 280},
                       {580, 100},
                       {700, 100},
                       {700, 220},
                       {640, 220},
                       {640, 160}},
                      20, SLATE);

    // Behind the gap, another pocket open towards where the search comes from.
    img.FillWallChain({{600, 360}, {740, 360}, {740, 540}, {600, 540}}, 20, SAND);

    // A diagonal bar across the way down from the corner.
    img.FillBar(60, 240, 140, 320, 11, INDIGO);
    return img;
}

// --- checks and output -----------------------------------------------------------------------

// Share of the free cells at CHECK_CELL_SIZE that an 8-connected flood fill from cell (1, 1)
// reaches, with the moves the search makes: column 0 and row 0 are never entered, and a
// diagonal step needs only its target cell free.
double ReachedShare(const Image& img) {
    constexpr int COLS = MAP_WIDTH / CHECK_CELL_SIZE;
    constexpr int ROWS = MAP_HEIGHT / CHECK_CELL_SIZE;
    auto isFree = [&](int c, int r) {
        return c >= 1 && c < COLS && r >= 1 && r < ROWS &&
               img.At(c * CHECK_CELL_SIZE, r * CHECK_CELL_SIZE) == FREE;
    };
    int free = 0;
    for (int c = 1; c < COLS; ++c) {
        for (int r = 1; r < ROWS; ++r) {
            free += isFree(c, r) ? 1 : 0;
        }
    }
    if (!isFree(1, 1)) {
        return 0.0;
    }
    std::vector<bool> reached(COLS * ROWS, false);
    std::vector<std::array<int, 2>> todo = {{1, 1}};
    reached[1 * ROWS + 1] = true;
    int count = 0;
    while (!todo.empty()) {
        const auto [c, r] = todo.back();
        todo.pop_back();
        ++count;
        for (int dc = -1; dc <= 1; ++dc) {
            for (int dr = -1; dr <= 1; ++dr) {
                const int nc = c + dc;
                const int nr = r + dr;
                if (isFree(nc, nr) && !reached[nc * ROWS + nr]) {
                    reached[nc * ROWS + nr] = true;
                    todo.push_back({nc, nr});
                }
            }
        }
    }
    return double(count) / double(free);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: brassel-make-maps OUTDIR\n");
        return 2;
    }
    const std::string dir = argv[1];
    const std::array<Image, 4> maps = {DrawScatteredShapes(), DrawMaze(), DrawRooms(), DrawTraps()};
    int status = 0;
    for (size_t i = 0; i < maps.size(); ++i) {
        const std::string path = dir + "/hittest" + std::to_string(i) + ".bmp";
        const std::vector<uint8_t> bytes =
            EncodeRle8Bmp(maps[i].pixels.data(), MAP_WIDTH, MAP_HEIGHT,
                          std::vector<PaletteColour>(PALETTE.begin(), PALETTE.end()));
        std::ofstream file(path, std::ios::binary);
        file.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        if (!file) {
            std::fprintf(stderr, "brassel-make-maps: cannot write %s\n", path.c_str());
            return 1;
        }
        const double share = ReachedShare(maps[i]);
        std::printf("%s: %zu bytes, %.1f%% of free cells reached from (1,1) at cell size %d\n",
                    path.c_str(), bytes.size(), 100.0 * share, CHECK_CELL_SIZE);
        if (maps[i].At(0, 0) != FREE || share < MIN_REACHED_SHARE) {
            std::fprintf(stderr, "brassel-make-maps: %s: start corner blocked or ground split\n",
                         path.c_str());
            status = 1;
        }
    }
    return status;
}
