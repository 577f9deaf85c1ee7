// TDirectoryViewer: the tree's nodes as outline lines, their graph, Backspace and the
// bounded "expand all".
#include "dirselect/directory_viewer.h"

#include "console/key_codes.h"
#include "library/paths.h"
#include "platform/cp866.h"
#include "views/commands.h"

namespace zarvo {

namespace {

TAbstractNode* AsNode(tOutlineNode node) {
    return static_cast<TAbstractNode*>(node);
}

const std::string& DirectoryGraphChars() {
    static const std::string chars(" │├└[[+─"_oem);
    return chars;
}

} // namespace

TDirectoryViewer::TDirectoryViewer(const tRect& bounds, tScrollBar* hBar, tScrollBar* vBar,
                                   const tDirectorySettings& settings)
    : tOutlineViewer(bounds, hBar, vBar), Computer(MakeObject<TComputer>(settings)) {
    Computer->SetExpanded(true);
}

bool TDirectoryViewer::Valid(std::uint16_t command) {
    if (!tOutlineViewer::Valid(command))
        return false;
    return command != 0 || (Computer != nullptr && Computer->Valid(0));
}

void TDirectoryViewer::ExpandNode(tOutlineNode node, bool on) {
    AsNode(node)->SetExpanded(on);
}

tOutlineNode TDirectoryViewer::ChildAt(tOutlineNode node, int index) {
    return AsNode(node)->ChildAt(index);
}

std::uint16_t TDirectoryViewer::ChildCount(tOutlineNode node) {
    return std::uint16_t(AsNode(node)->ChildCount());
}

tOutlineNode TDirectoryViewer::RootNode() {
    return Computer.get();
}

std::string TDirectoryViewer::NodeText(tOutlineNode node) {
    return AsNode(node)->NodeName();
}

bool TDirectoryViewer::NodeHasChildren(tOutlineNode node) {
    return AsNode(node)->HasSubdirectories();
}

bool TDirectoryViewer::NodeExpanded(tOutlineNode node) {
    return AsNode(node)->IsExpanded();
}

std::string TDirectoryViewer::GraphText(int level, const tOutlineLines& lines, std::uint8_t flags) {
    std::string graph = MakeGraph(level, lines, flags, 3, 3, DirectoryGraphChars()).substr(2);
    if (level != 0)
        graph += "] ";
    return graph;
}

TAbstractNode* TDirectoryViewer::FocusedNode() {
    return AsNode(NodeAtLine(FocusedLine));
}

void TDirectoryViewer::FocusNode(TAbstractNode* node) {
    SetFocusedLine(LineOfNode(node));
    Recount();
    Repaint();
}

void TDirectoryViewer::SelectPath(std::string_view path) {
    TAbstractNode* node = Computer->FindPath(RemoveBackslash(path));
    SetFocusedLine(LineOfNode(node));
    Recount();
}

void TDirectoryViewer::ExpandAllFrom(TAbstractNode* node, int& budget) {
    if (node == nullptr || !node->HasSubdirectories() || budget <= 0)
        return;
    --budget;
    node->SetExpanded(true);
    for (int i = 0; i < node->ChildCount() && budget > 0; ++i)
        ExpandAllFrom(node->ChildAt(i), budget);
}

void TDirectoryViewer::ExpandAll(TAbstractNode* node) {
    int budget = kExpandAllLimit;
    ExpandAllFrom(node, budget);
}

void TDirectoryViewer::HandleEvent(TEventRec& event) {
    bool parentKey = event.what == evtKeyDown && event.key.keyCode == kKeyBackspace;
    bool parentCommand = event.what == evtCommand && event.message.command == cmdDirectoryParent;
    if (parentKey || parentCommand) {
        ConsumeEvent(event);
        TAbstractNode* node = FocusedNode();
        if (node != nullptr && node->Parent != nullptr)
            FocusNode(node->Parent);
        return;
    }
    if (event.what == evtKeyDown && char(event.key.keyCode & 0xFF) == '*') {
        ConsumeEvent(event);
        ExpandAll(FocusedNode());
        Recount();
        Repaint();
        return;
    }
    tOutlineViewer::HandleEvent(event);
}

void TDirectoryViewer::LineChosen(int) {
    TEventRec event;
    event.what = evtCommand;
    event.message.command = cmdOk;
    event.message.info = nullptr;
    PostEvent(event);
}

} // namespace zarvo
