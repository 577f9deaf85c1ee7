// TDirectoryViewer, the outline of the directory tree: the drives below "Устройства", a
// directory per line with [+] or [─] before its name, Backspace to the parent, and the path
// a dialog opens at.
#pragma once

#include <string>
#include <string_view>

#include "dirselect/directory_nodes.h"
#include "views/outline_viewer.h"

namespace zarvo {

// The command that focuses the parent of the focused node.
inline constexpr std::uint16_t cmdDirectoryParent = 12350;

// "Expand all" opens at most this many nodes: below a file system's root it would otherwise
// read the whole disk, and every share mounted there.
inline constexpr int kExpandAllLimit = 500;

class TDirectoryViewer : public tOutlineViewer {
  public:
    // Reads the drives at once.
    TDirectoryViewer(const tRect& bounds, tScrollBar* hBar, tScrollBar* vBar,
                     const tDirectorySettings& settings = DirectorySettings());

    bool Valid(std::uint16_t command) override;
    void HandleEvent(TEventRec& event) override;
    // A double click (or Space) on a directory chooses it, as "Выбрать" does.
    void LineChosen(int line) override;

    void ExpandNode(tOutlineNode node, bool on) override;
    tOutlineNode ChildAt(tOutlineNode node, int index) override;
    std::string GraphText(int level, const tOutlineLines& lines, std::uint8_t flags) override;
    std::uint16_t ChildCount(tOutlineNode node) override;
    tOutlineNode RootNode() override;
    std::string NodeText(tOutlineNode node) override;
    bool NodeHasChildren(tOutlineNode node) override;
    bool NodeExpanded(tOutlineNode node) override;

    // Focuses the deepest existing node of the full path PATH (CP866).
    void SelectPath(std::string_view path);
    TAbstractNode* FocusedNode();
    // Expands NODE and the nodes below it, at most kExpandAllLimit of them.
    void ExpandAll(TAbstractNode* node);
    void FocusNode(TAbstractNode* node);

    tObjectPtr<TComputer> Computer;

  private:
    void ExpandAllFrom(TAbstractNode* node, int& budget);
};

} // namespace zarvo
