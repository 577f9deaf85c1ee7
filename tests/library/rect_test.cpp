// tRect arithmetic: exclusive right and bottom edges, normalisation of empty results.
#include "library/rect.h"

#include <gtest/gtest.h>

namespace zarvo {
namespace {

struct RectCase {
    const char* What;
    tRect Start;
    void (*Apply)(tRect&);
    tRect Expected;
};

// Catches wrong edges, a missing or unwanted normalisation to all zeros.
TEST(RectTest, Operations) {
    const RectCase cases[] = {
        {"AssignSize", {}, [](tRect& r) { r.AssignSize(2, 3, 10, 4); }, {2, 3, 12, 7}},
        {"Move", {1, 1, 5, 5}, [](tRect& r) { r.Move(2, -1); }, {3, 0, 7, 4}},
        {"Grow", {1, 1, 5, 5}, [](tRect& r) { r.Grow(1, 2); }, {0, -1, 6, 7}},
        {"Grow(-5, 0) of a 6-wide rectangle",
         {0, 0, 6, 3},
         [](tRect& r) { r.Grow(-5, 0); },
         {0, 0, 0, 0}},
        {"Grow(-2, 0) keeps a 2-wide rectangle",
         {0, 0, 6, 3},
         [](tRect& r) { r.Grow(-2, 0); },
         {2, 0, 4, 3}},
        {"Intersect overlapping",
         {0, 0, 10, 10},
         [](tRect& r) { r.Intersect(MakeRect(5, 5, 20, 20)); },
         {5, 5, 10, 10}},
        {"Intersect touching edges is empty",
         {0, 0, 10, 10},
         [](tRect& r) { r.Intersect(MakeRect(10, 0, 20, 10)); },
         {0, 0, 0, 0}},
        {"Union never normalises",
         {5, 5, 5, 5},
         [](tRect& r) { r.Union(MakeRect(8, 8, 8, 8)); },
         {5, 5, 8, 8}},
        {"Copy", {}, [](tRect& r) { r.Copy(MakeRect(1, 2, 3, 4)); }, {1, 2, 3, 4}},
    };
    for (const RectCase& test : cases) {
        tRect r = test.Start;
        test.Apply(r);
        EXPECT_EQ(r, test.Expected)
            << test.What << ": got " << r.Left << "," << r.Top << "," << r.Right << "," << r.Bottom;
    }
}

// Catches Right or Bottom treated as inside, or Left/Top as outside.
TEST(RectTest, ContainsAndIsEmpty) {
    tRect r = MakeRect(1, 1, 4, 3);
    const struct {
        tPoint P;
        bool Inside;
    } points[] = {{{1, 1}, true},  {{3, 2}, true},  {{4, 2}, false},
                  {{3, 3}, false}, {{0, 1}, false}, {{1, 0}, false}};
    for (auto& test : points)
        EXPECT_EQ(r.Contains(test.P), test.Inside) << test.P.X << "," << test.P.Y;
    EXPECT_FALSE(r.IsEmpty());
    EXPECT_TRUE(MakeRect(1, 1, 1, 5).IsEmpty()) << "expected zero width to be empty";
    EXPECT_TRUE(MakeRect(5, 1, 1, 5).IsEmpty()) << "expected negative width to be empty";
    EXPECT_TRUE(r.Equals(MakeRect(1, 1, 4, 3)));
}

} // namespace
} // namespace zarvo
