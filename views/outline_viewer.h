// tOutlineViewer, the abstract scrolling view of a tree: one visible node per line, each a
// drawn graph of branch lines and an expansion mark followed by the node's text. A
// descendant supplies the tree; the viewer does the focus line, expanding and collapsing by
// keys and mouse, drawing and scrolling.
#pragma once

#include <bitset>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "views/scroller.h"

namespace zarvo {

// A node of the descendant's tree; the viewer only hands it back.
using tOutlineNode = void*;

// Deeper levels than this draw no vertical bar in their columns (a level's bit is clear).
inline constexpr int kOutlineMaxLevels = 256;
// Bit k set: the ancestor at level k is not the last child of its parent, so a vertical
// branch line runs down column k.
using tOutlineLines = std::bitset<kOutlineMaxLevels>;

// Flags of a visible node.
namespace OutlineFlag {
inline constexpr std::uint8_t Shown = 1; // no children, or expanded
inline constexpr std::uint8_t Open = 2;  // has children and is expanded
inline constexpr std::uint8_t Last = 4;  // last child of its parent (and the root)
} // namespace OutlineFlag

// What the walk of the visible nodes hands each node; answer true to stop there.
using tOutlineTest = std::function<bool(tOutlineNode node, int level, int line,
                                        const tOutlineLines& lines, std::uint8_t flags)>;

// The graph: LEVEL columns of LEVELWIDTH characters (a vertical bar where LINES has the
// level's bit), then with ENDWIDTH > 1 a branch, with ENDWIDTH > 2 a connector, and an end
// mark. CHARS holds the 8 graph characters: filler, bar, branch to a further sibling, branch
// to the last sibling, connector not open, connector open, end mark collapsed, end mark
// otherwise.
std::string MakeGraph(int level, const tOutlineLines& lines, std::uint8_t flags, int levelWidth,
                      int endWidth, std::string_view chars);

class tOutlineViewer : public tScroller {
  public:
    tOutlineViewer(const tRect& bounds, tScrollBar* hBar, tScrollBar* vBar);
    explicit tOutlineViewer(tStreamLoad);

    // ---- overrides (the stream id stays the scroller's 4)
    void Store(tStream& s) override;
    void Load(tStream& s) override;
    void Draw() override;
    tPalette GetPalette() const override;
    void HandleEvent(TEventRec& event) override;
    void ApplyState(std::uint16_t mask, bool on) override;
    // The focused line is always the cursor line.
    void ScrollToPos(std::int32_t x, std::int32_t y) override;
    // Also when a bar moved the cursor line: an arrow click then moves the focus visibly.
    void SyncScroll() override;

    // ---- added virtual operations, in their fixed order; the abstract ones raise
    // run-time error 211
    virtual void ExpandNode(tOutlineNode node, bool on);
    virtual void SetFocusedLine(int line);
    virtual tOutlineNode ChildAt(tOutlineNode node, int index);
    virtual std::string GraphText(int level, const tOutlineLines& lines, std::uint8_t flags);
    virtual std::uint16_t ChildCount(tOutlineNode node);
    // Del was pressed on the line.
    virtual void DeleteKey(int line);
    virtual tOutlineNode RootNode();
    virtual std::string NodeText(tOutlineNode node);
    virtual bool NodeHasChildren(tOutlineNode node);
    virtual bool LineMarked(int line);
    virtual bool NodeExpanded(tOutlineNode node);
    virtual bool IsFocusedLine(int line);
    // The line was chosen by a double click or Space.
    virtual void LineChosen(int line);
    // Counts the visible nodes and the widest line, sets the limits, keeps the focus inside.
    virtual void Recount();

    // ---- non-virtual operations
    void MoveFocus(int line);
    // The first visible node, in line order, that TEST accepts; null when none does.
    tOutlineNode FindNode(const tOutlineTest& test);
    tOutlineNode NodeAtLine(int line);
    // The node's line when it is visible, else 0.
    int LineOfNode(tOutlineNode node);
    void ExpandSubtree(tOutlineNode node);

    // ---- fields, in their fixed order
    std::uint16_t FocusedLine = 0;

  private:
    tOutlineNode WalkNode(tOutlineNode node, int level, const tOutlineLines& lines, bool last,
                          int& line, const tOutlineTest& test);
    void DrawNodeLine(tOutlineNode node, int level, const tOutlineLines& lines, std::uint8_t flags,
                      int line, std::uint16_t ordinary);
    void TrackMouse(TEventRec& event);
    // The press on LINE at column X fell on the node's graph.
    bool ClickOnGraph(int line, int x);
    // False when the key is left alone.
    bool HandleKey(TEventRec& event);
    // Keeps the cursor line and the left column where a missing bar cannot take them.
    void ScrollWithoutBars(std::int32_t x, std::int32_t y);
};

} // namespace zarvo
