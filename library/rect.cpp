// Rectangle arithmetic; sums wrap at 16 bits like the stored coordinates.
#include "library/rect.h"

#include <algorithm>

namespace zarvo {

void tRect::Assign(int left, int top, int right, int bottom) {
    Left = std::int16_t(left);
    Top = std::int16_t(top);
    Right = std::int16_t(right);
    Bottom = std::int16_t(bottom);
}

void tRect::AssignSize(int x, int y, int width, int height) {
    Assign(x, y, x + width, y + height);
}

void tRect::Move(int dx, int dy) {
    Assign(Left + dx, Top + dy, Right + dx, Bottom + dy);
}

void tRect::Grow(int dx, int dy) {
    Assign(Left - dx, Top - dy, Right + dx, Bottom + dy);
    NormalizeEmpty();
}

void tRect::Intersect(const tRect& r) {
    Left = std::max(Left, r.Left);
    Top = std::max(Top, r.Top);
    Right = std::min(Right, r.Right);
    Bottom = std::min(Bottom, r.Bottom);
    NormalizeEmpty();
}

void tRect::Union(const tRect& r) {
    Left = std::min(Left, r.Left);
    Top = std::min(Top, r.Top);
    Right = std::max(Right, r.Right);
    Bottom = std::max(Bottom, r.Bottom);
}

bool tRect::Contains(tPoint p) const {
    return Left <= p.X && p.X < Right && Top <= p.Y && p.Y < Bottom;
}

void tRect::NormalizeEmpty() {
    if (IsEmpty())
        *this = tRect();
}

} // namespace zarvo
