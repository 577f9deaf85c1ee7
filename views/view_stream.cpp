// The stream form of a view (one framed block of its fields), references to other subviews of
// the group being stored or loaded, and the registration of the view classes for streaming.
#include <mutex>

#include "console/host_settings.h"
#include "library/stream_class.h"
#include "views/group.h"

namespace zarvo {

namespace {

constexpr std::uint8_t kOldViewBlock = 1; // options stored in 16 bits
constexpr std::uint8_t kViewBlock = 2;

// A view larger than a screen line or a screen is a damaged record, not a view: its cache
// would be an allocation of whatever size the bytes say.
bool IsPlausibleSize(int width, int height) {
    return width >= 0 && width <= MaxLineCells && height >= 0 && height <= kMaxScreenHeight;
}

} // namespace

void tView::Store(tStream& s) {
    std::int64_t start = 0;
    if (!s.BeginBlock(start))
        return;
    for (std::int16_t value : {Left, Top, Width, Height, CursorX, CursorY})
        s.WriteValue(value);
    s.WriteValue(GrowFlags);
    s.WriteValue(DragFlags);
    s.WriteValue(HelpTopic);
    s.WriteValue(std::uint16_t(StateFlags & ViewState::StoredMask));
    s.WriteValue(OptionFlags);
    s.WriteValue(AcceptMask);
    s.WriteStr(Hint);
    s.EndBlock(start, kViewBlock);
}

void tView::Load(tStream& s) {
    std::uint8_t kind = kNoBlock;
    std::int64_t end = 0;
    s.ReadBlockHeader(kind, end);
    if (s.Status != stOk)
        return;
    if (kind != kOldViewBlock && kind != kViewBlock && kind != kNoBlock) {
        // A block of a kind this program does not know: skipped whole, the view stays empty.
        if (!s.BlockEndInside(end))
            s.Error(stReadError, 0);
        else
            s.Seek(end);
        return;
    }
    for (std::int16_t* field : {&Left, &Top, &Width, &Height, &CursorX, &CursorY})
        *field = s.ReadValue<std::int16_t>();
    GrowFlags = s.ReadValue<std::uint8_t>();
    DragFlags = s.ReadValue<std::uint8_t>();
    HelpTopic = s.ReadValue<std::uint16_t>();
    StateFlags = s.ReadValue<std::uint16_t>();
    OptionFlags = kind == kViewBlock ? s.ReadValue<std::uint32_t>() : s.ReadValue<std::uint16_t>();
    AcceptMask = s.ReadValue<std::uint16_t>();
    if (kind != kNoBlock)
        Hint = s.ReadStr();
    if (s.Status == stOk && !IsPlausibleSize(Width, Height))
        s.Error(stReadError, 0);
}

void tView::WritePeerRef(tStream& s, const tView* peer) {
    int index = peer != nullptr && LoadingGroup != nullptr ? LoadingGroup->IndexOfView(peer) : 0;
    s.WriteValue(std::int16_t(index));
}

void tView::ReadPeerPlace(tStream& s, void* place, tPeerAssign assign) {
    assign(place, nullptr);
    auto index = s.ReadValue<std::int16_t>();
    if (s.Status != stOk || index == 0 || LoadingGroup == nullptr || PeerFixups == nullptr)
        return;
    if (index < 0 || std::size_t(index) > PeerFixups->Entries.size()) {
        // No subview has that number: the stream is damaged and the reference stays nil.
        s.Error(stReadError, 0);
        return;
    }
    PeerFixups->Entries[std::size_t(index) - 1].push_back({place, assign});
}

void RegisterViewStreamClasses() {
    static const tStreamClass kView =
        StreamClassOf<tView>("tView", []() -> tSObject* { return new tView(kStreamLoad); });
    static const tStreamClass kGroup =
        StreamClassOf<tGroup>("tGroup", []() -> tSObject* { return new tGroup(kStreamLoad); });
    static std::once_flag once;
    std::call_once(once, [] { RegisterStreamClasses({&kView, &kGroup}); });
}

} // namespace zarvo
