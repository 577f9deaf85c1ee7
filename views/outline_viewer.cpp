// tOutlineViewer: the walk of the visible nodes, the graph, drawing, the mouse and keys that
// move the focus and open and close nodes, and the stream form.
#include "views/outline_viewer.h"

#include <algorithm>

#include "console/key_codes.h"
#include "console/keyboard.h"
#include "library/run_error.h"
#include "library/strings.h"
#include "platform/cp866.h"
#include "views/dialog.h"
#include "views/list_viewer.h"
#include "views/scroll_bar.h"

namespace zarvo {

namespace {

constexpr auto kDialogOutlinePalette = MakePalette(26, 27, 6, 6, 6, 6, 28, 29);
constexpr auto kOutlinePalette = MakePalette(6, 7, 9, 10, 11, 12, 7, 7);

constexpr std::uint16_t kOrdinaryPair = 0x0101;
constexpr std::uint16_t kFocusedPair = 0x0202;
constexpr std::uint16_t kUnfocusedFocusPair = 0x0707;
constexpr std::uint16_t kMarkedPair = 0x0808;

// A drag outside the view moves the focus on every this many repeat events.
constexpr int kAutoScrollRepeats = 3;

// The viewer's own graph characters.
const std::string& OutlineGraphChars() {
    static const std::string chars(" │├└──+─"_oem);
    return chars;
}

constexpr int kGraphLevelWidth = 3;
constexpr int kGraphEndWidth = 3;
// GraphText drops this many characters from the front of the graph.
constexpr std::size_t kGraphDropped = 2;

std::uint8_t FlagsOf(bool hasChildren, bool expanded, bool last) {
    std::uint8_t flags = last ? OutlineFlag::Last : 0;
    if (hasChildren && expanded)
        flags |= OutlineFlag::Open;
    if (!hasChildren || expanded)
        flags |= OutlineFlag::Shown;
    return flags;
}

} // namespace

std::string MakeGraph(int level, const tOutlineLines& lines, std::uint8_t flags, int levelWidth,
                      int endWidth, std::string_view chars) {
    // Characters are numbered from 1.
    auto ch = [&](int number) { return chars.size() >= 8 ? chars[std::size_t(number - 1)] : ' '; };
    std::string graph;
    for (int column = 0; column < level; ++column) {
        bool bar = column < kOutlineMaxLevels && lines.test(std::size_t(column));
        graph += bar ? ch(2) : ch(1);
        graph.append(std::size_t(std::max(levelWidth - 1, 0)), ch(1));
    }
    if (endWidth > 1)
        graph += (flags & OutlineFlag::Last) != 0 ? ch(4) : ch(3);
    if (endWidth > 2)
        graph += (flags & OutlineFlag::Open) != 0 ? ch(6) : ch(5);
    graph += (flags & OutlineFlag::Shown) != 0 ? ch(8) : ch(7);
    return graph;
}

tOutlineViewer::tOutlineViewer(const tRect& bounds, tScrollBar* hBar, tScrollBar* vBar)
    : tScroller(bounds, hBar, vBar) {
    GrowFlags = GrowFlag::GrowRight | GrowFlag::GrowBottom;
}

tOutlineViewer::tOutlineViewer(tStreamLoad) : tScroller(kStreamLoad) {}

tPalette tOutlineViewer::GetPalette() const {
    if (dynamic_cast<const tDialog*>(Owner) != nullptr)
        return kDialogOutlinePalette.data();
    return kOutlinePalette.data();
}

// ---- the abstract operations and their defaults

void tOutlineViewer::ExpandNode(tOutlineNode, bool) {
    RaiseRunError(kRunErrorAbstractCall);
}

void tOutlineViewer::SetFocusedLine(int line) {
    FocusedLine = std::uint16_t(std::max(line, 0));
}

tOutlineNode tOutlineViewer::ChildAt(tOutlineNode, int) {
    RaiseRunError(kRunErrorAbstractCall);
}

std::string tOutlineViewer::GraphText(int level, const tOutlineLines& lines, std::uint8_t flags) {
    std::string graph =
        MakeGraph(level, lines, flags, kGraphLevelWidth, kGraphEndWidth, OutlineGraphChars());
    return graph.substr(std::min(kGraphDropped, graph.size()));
}

std::uint16_t tOutlineViewer::ChildCount(tOutlineNode) {
    RaiseRunError(kRunErrorAbstractCall);
}

void tOutlineViewer::DeleteKey(int) {}

tOutlineNode tOutlineViewer::RootNode() {
    RaiseRunError(kRunErrorAbstractCall);
}

std::string tOutlineViewer::NodeText(tOutlineNode) {
    RaiseRunError(kRunErrorAbstractCall);
}

bool tOutlineViewer::NodeHasChildren(tOutlineNode) {
    RaiseRunError(kRunErrorAbstractCall);
}

bool tOutlineViewer::LineMarked(int) {
    return false;
}

bool tOutlineViewer::NodeExpanded(tOutlineNode) {
    RaiseRunError(kRunErrorAbstractCall);
}

bool tOutlineViewer::IsFocusedLine(int line) {
    return line == FocusedLine;
}

void tOutlineViewer::LineChosen(int) {}

// ---- the walk

tOutlineNode tOutlineViewer::WalkNode(tOutlineNode node, int level, const tOutlineLines& lines,
                                      bool last, int& line, const tOutlineTest& test) {
    bool hasChildren = NodeHasChildren(node);
    bool expanded = hasChildren && NodeExpanded(node);
    ++line;
    if (test(node, level, line, lines, FlagsOf(hasChildren, expanded, last)))
        return node;
    if (!expanded)
        return nullptr;
    int count = ChildCount(node);
    tOutlineLines childLines = lines;
    if (!last && level < kOutlineMaxLevels)
        childLines.set(std::size_t(level));
    for (int i = 0; i < count; ++i) {
        tOutlineNode child = ChildAt(node, i);
        if (child == nullptr)
            continue;
        if (tOutlineNode found = WalkNode(child, level + 1, childLines, i == count - 1, line, test))
            return found;
    }
    return nullptr;
}

tOutlineNode tOutlineViewer::FindNode(const tOutlineTest& test) {
    tOutlineNode root = RootNode();
    if (root == nullptr)
        return nullptr;
    int line = -1;
    return WalkNode(root, 0, tOutlineLines(), true, line, test);
}

tOutlineNode tOutlineViewer::NodeAtLine(int line) {
    return FindNode([line](tOutlineNode, int, int at, const tOutlineLines&, std::uint8_t) {
        return at == line;
    });
}

int tOutlineViewer::LineOfNode(tOutlineNode node) {
    int found = 0;
    FindNode([&](tOutlineNode at, int, int line, const tOutlineLines&, std::uint8_t) {
        if (at != node)
            return false;
        found = line;
        return true;
    });
    return found;
}

void tOutlineViewer::ExpandSubtree(tOutlineNode node) {
    if (node == nullptr || !NodeHasChildren(node))
        return;
    ExpandNode(node, true);
    int count = ChildCount(node);
    for (int i = 0; i < count; ++i)
        ExpandSubtree(ChildAt(node, i));
}

void tOutlineViewer::Recount() {
    int count = 0;
    int widest = 0;
    FindNode(
        [&](tOutlineNode node, int level, int, const tOutlineLines& lines, std::uint8_t flags) {
            ++count;
            int width = int(NodeText(node).size() + GraphText(level, lines, flags).size());
            widest = std::max(widest, width);
            return false;
        });
    // New limits may move the bars, and the focus with them; it is placed again below.
    const int focus = FocusedLine;
    SetExtentLimit(widest, count);
    MoveFocus(focus);
}

// ---- focus and scrolling

void tOutlineViewer::MoveFocus(int line) {
    if (line >= LimitY)
        line = LimitY - 1;
    if (line < 0)
        line = 0;
    if (line != FocusedLine)
        SetFocusedLine(line);
    ScrollToPos(DeltaX, line);
}

void tOutlineViewer::ScrollToPos(std::int32_t x, std::int32_t y) {
    tScroller::ScrollToPos(x, y);
    ScrollWithoutBars(x, y);
    FocusedLine = std::uint16_t(std::max(DeltaY + CursorY, 0));
}

void tOutlineViewer::SyncScroll() {
    tScroller::SyncScroll();
    auto line = std::uint16_t(std::max(DeltaY + CursorY, 0));
    if (line != FocusedLine) {
        FocusedLine = line;
        Repaint();
    }
}

void tOutlineViewer::ScrollWithoutBars(std::int32_t x, std::int32_t y) {
    bool moved = false;
    if (HBar == nullptr && x != DeltaX) {
        DeltaX = std::clamp<std::int32_t>(x, 0, std::max(LimitX, 0));
        moved = true;
    }
    if (VBar == nullptr && y != DeltaY + CursorY) {
        std::int32_t row = std::clamp<std::int32_t>(y - DeltaY, 0, std::max(Height - 1, 0));
        CursorY = std::int16_t(row);
        DeltaY = std::max(y - row, 0);
        moved = true;
    }
    if (moved) {
        SetCursorPos(CursorX, CursorY);
        Repaint();
    }
}

// ---- drawing

void tOutlineViewer::DrawNodeLine(tOutlineNode node, int level, const tOutlineLines& lines,
                                  std::uint8_t flags, int line, std::uint16_t ordinary) {
    std::uint16_t pair = ordinary;
    if (line == FocusedLine && HasState(ViewState::Focused))
        pair = MapColors(kFocusedPair);
    else if (LineMarked(line))
        pair = MapColors(kMarkedPair);
    else if (IsFocusedLine(line))
        pair = MapColors(kUnfocusedFocusPair);
    int width = std::min<int>(Width, MaxLineCells);
    tCell cells[MaxLineCells];
    FillCells(cells, ' ', std::uint8_t(pair), width);
    // A collapsed node with children shows its text in the pair's other attribute. The text
    // is placed as it is rather than between "~" marks, so a "~" in a name stays visible.
    std::string graph = GraphText(level, lines, flags);
    std::string text = NodeText(node);
    std::uint8_t textAttr =
        (flags & OutlineFlag::Shown) != 0 ? std::uint8_t(pair) : std::uint8_t(pair >> 8);
    int column = -DeltaX;
    for (char ch : graph) {
        if (column >= 0 && column < width)
            cells[column] = MakeCell(std::uint8_t(ch), std::uint8_t(pair));
        ++column;
    }
    for (char ch : text) {
        if (column >= 0 && column < width)
            cells[column] = MakeCell(std::uint8_t(ch), textAttr);
        ++column;
    }
    PutLine(0, line - DeltaY, width, 1, cells);
}

void tOutlineViewer::Draw() {
    std::uint16_t ordinary = MapColors(kOrdinaryPair);
    int drawn = 0;
    if (RootNode() != nullptr)
        FindNode([&](tOutlineNode node, int level, int line, const tOutlineLines& lines,
                     std::uint8_t flags) {
            if (line >= DeltaY + Height)
                return true;
            if (line >= DeltaY) {
                DrawNodeLine(node, level, lines, flags, line, ordinary);
                drawn = line - DeltaY + 1;
            }
            return false;
        });
    if (drawn < Height) {
        tCell cells[MaxLineCells];
        int width = std::min<int>(Width, MaxLineCells);
        FillCells(cells, ' ', std::uint8_t(ordinary), width);
        PutLine(0, drawn, width, Height - drawn, cells);
    }
}

// ---- events

bool tOutlineViewer::ClickOnGraph(int line, int x) {
    bool onGraph = false;
    FindNode([&](tOutlineNode, int level, int at, const tOutlineLines& lines, std::uint8_t flags) {
        if (at != line)
            return false;
        onGraph = int(GraphText(level, lines, flags).size()) > x;
        return true;
    });
    return onGraph;
}

void tOutlineViewer::TrackMouse(TEventRec& event) {
    bool doubleClick = event.mouse.doubleClick != 0;
    tPoint press = ToLocal(event.mouse.where);
    int events = 0;
    int repeats = 0;
    CaptureMouse();
    do {
        ++events;
        tPoint p = ToLocal(event.mouse.where);
        int line = FocusedLine;
        if (ContainsPoint(event.mouse.where)) {
            line = DeltaY + p.Y;
        } else if (event.what == evtMouseRepeat && ++repeats % kAutoScrollRepeats == 0) {
            if (p.Y >= Height)
                ++line;
            else if (p.Y < 0)
                --line;
        }
        if (line != FocusedLine) {
            MoveFocus(line);
            Repaint();
        }
    } while (NextMouseEvent(event, evtMouseMove | evtMouseRepeat));
    ReleaseMouse();
    if (doubleClick) {
        LineChosen(FocusedLine);
        return;
    }
    // Only a press on a node's own line toggles it: a press below the last line moves the
    // focus to that line but opens nothing.
    int pressedLine = DeltaY + press.Y;
    if (events == 1 && pressedLine == FocusedLine && ClickOnGraph(pressedLine, DeltaX + press.X)) {
        tOutlineNode node = NodeAtLine(FocusedLine);
        ExpandNode(node, !NodeExpanded(node));
        Recount();
        Repaint();
    }
}

bool tOutlineViewer::HandleKey(TEventRec& event) {
    int line = FocusedLine;
    switch (CtrlKeyToCursorKey(event.key.keyCode)) {
    case kKeyHome:
        line = DeltaY;
        break;
    case kKeyEnd:
        line = DeltaY + Height - 1;
        break;
    case kKeyUp:
        line = line - 1;
        break;
    case kKeyDown:
        line = line + 1;
        break;
    case kKeyPgUp:
        line = line - (Height - 1);
        break;
    case kKeyPgDn:
        line = line + Height - 1;
        break;
    case kKeyCtrlPgUp:
        line = 0;
        break;
    case kKeyCtrlPgDn:
        line = LimitY - 1;
        break;
    case kKeyLeft:
        if (DeltaX > 0)
            ScrollToPos(DeltaX - 1, DeltaY);
        break;
    case kKeyRight:
        if (DeltaX < LimitX)
            ScrollToPos(DeltaX + 1, DeltaY);
        break;
    case kKeyDel:
        DeleteKey(line);
        break;
    default:
        switch (char(event.key.keyCode & 0xFF)) {
        case ' ':
            LineChosen(line);
            break;
        case '*':
            ExpandSubtree(NodeAtLine(line));
            break;
        case '+':
        case '-':
            if (tOutlineNode node = NodeAtLine(line))
                ExpandNode(node, char(event.key.keyCode & 0xFF) == '+');
            break;
        default:
            return false;
        }
        Recount();
    }
    ConsumeEvent(event);
    MoveFocus(line);
    Repaint();
    return true;
}

void tOutlineViewer::HandleEvent(TEventRec& event) {
    tScroller::HandleEvent(event);
    if (event.what == evtMouseDown) {
        TrackMouse(event);
        ConsumeEvent(event);
    } else if (event.what == evtKeyDown) {
        HandleKey(event);
    } else if (event.what == evtBroadcast && event.message.command == cmdFocusedText &&
               event.message.info != nullptr) {
        tOutlineNode node = NodeAtLine(DeltaY + CursorY);
        *static_cast<std::string*>(event.message.info) = NewStr(node ? NodeText(node) : "");
        ConsumeEvent(event);
    }
}

void tOutlineViewer::ApplyState(std::uint16_t mask, bool on) {
    tScroller::ApplyState(mask, on);
    if (mask & ViewState::Focused)
        Repaint();
}

// ---- the stream form: the scroller's, then the focused line

void tOutlineViewer::Store(tStream& s) {
    tScroller::Store(s);
    s.WriteValue(FocusedLine);
}

void tOutlineViewer::Load(tStream& s) {
    tScroller::Load(s);
    FocusedLine = s.ReadValue<std::uint16_t>();
}

} // namespace zarvo
