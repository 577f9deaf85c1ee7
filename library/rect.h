// tPoint and tRect, the coordinate types of all views: signed 16-bit values, with Right and
// Bottom exclusive (a rectangle covers columns Left..Right-1 and rows Top..Bottom-1).
#pragma once

#include <cstdint>

namespace zarvo {

struct tPoint {
    std::int16_t X = 0;
    std::int16_t Y = 0;

    bool operator==(const tPoint&) const = default;
};

struct tRect {
    std::int16_t Left = 0;
    std::int16_t Top = 0;
    std::int16_t Right = 0;
    std::int16_t Bottom = 0;

    void Assign(int left, int top, int right, int bottom);
    void AssignSize(int x, int y, int width, int height);
    void Copy(const tRect& r) { *this = r; }
    void Move(int dx, int dy);
    void Grow(int dx, int dy);
    void Intersect(const tRect& r);
    // Never normalises: the union of two empty rectangles may stay non-zero.
    void Union(const tRect& r);
    bool Contains(tPoint p) const;
    bool Equals(const tRect& r) const { return *this == r; }
    bool IsEmpty() const { return !(Left < Right && Top < Bottom); }
    void NormalizeEmpty();

    bool operator==(const tRect&) const = default;
};

// A rectangle from its four sides.
inline tRect MakeRect(int left, int top, int right, int bottom) {
    tRect r;
    r.Assign(left, top, right, bottom);
    return r;
}

} // namespace zarvo
