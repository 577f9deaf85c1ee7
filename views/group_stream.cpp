// The stream form of a group: its view block, its subviews as object records from the front,
// and the index of its current view. References between subviews are resolved once all of
// them are read; every index read is checked, so a damaged stream yields nil, not a crash.
#include "library/object_stream.h"
#include "library/scope.h"
#include "views/group.h"

namespace zarvo {

void tGroup::Store(tStream& s) {
    tView::Store(s);
    tTemporaryChange<tGroup*> loading(LoadingGroup, this);
    if (s.Status != stOk)
        return;
    s.WriteValue(std::int16_t(IndexOfView(LastView)));
    for (tView* p = FirstView(); p != nullptr && s.Status == stOk;
         p = p == LastView ? nullptr : p->NextView)
        Put(s, p);
    if (s.Status == stOk)
        WriteChildRef(s, CurrentView);
}

void tGroup::WriteChildRef(tStream& s, const tView* p) {
    s.WriteValue(std::int16_t(IndexOfView(p)));
}

void tGroup::ReadChildRef(tStream& s, tView*& p) {
    p = nullptr;
    auto index = s.ReadValue<std::int16_t>();
    if (s.Status != stOk || index == 0)
        return;
    p = ViewAt(index);
    if (p == nullptr)
        s.Error(stReadError, 0); // no subview has that number: a damaged stream
}

// Reads COUNT object records as subviews; false when one of them gave no view.
bool tGroup::LoadSubviews(tStream& s, int count) {
    bool complete = true;
    for (int i = 0; i < count && s.Status == stOk; ++i) {
        tSObject* object = Get(s);
        auto* view = dynamic_cast<tView*>(object);
        if (view == nullptr) {
            FreeObject(object); // a record of some other class is no subview
            complete = false;
        } else {
            LinkView(view, nullptr);
        }
    }
    return complete && s.Status == stOk;
}

void tGroup::Load(tStream& s) {
    tView::Load(s);
    ClipArea = ExtentRect();
    if (s.Status != stOk)
        return;
    auto count = s.ReadValue<std::int16_t>();
    if (s.Status != stOk)
        return;
    if (count < 0 || count > kMaxCollectionSize) {
        s.Error(stReadError, 0);
        return;
    }
    tPeerFixups fixups;
    fixups.Entries.resize(std::size_t(count));
    {
        tTemporaryChange<tGroup*> loading(LoadingGroup, this);
        tTemporaryChange<tPeerFixups*> pending(PeerFixups, &fixups);
        if (!LoadSubviews(s, count))
            return;
        tView* p = FirstView();
        for (auto& places : fixups.Entries) {
            for (const auto& place : places)
                place.Assign(place.Place, p);
            p = p != nullptr && p != LastView ? p->NextView : nullptr;
        }
    }
    tView* current = nullptr;
    ReadChildRef(s, current);
    if (s.Status != stOk)
        return;
    SetCurrentView(current, tSelectMode::Normal);
    if (LoadingGroup == nullptr)
        AfterLoad();
}

} // namespace zarvo
