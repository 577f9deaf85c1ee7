// tDialogCont and tMultiDialog: accepting only valid fields, and pages shown by moving every
// page's views by whole dialog heights so that the page shown lies inside the dialog.
#include "record_inputs/multi_dialog.h"

#include <vector>

#include "console/key_codes.h"
#include "library/scope.h"
#include "record_inputs/input_commands.h"
#include "views/indicator.h"
#include "views/scroll_bar.h"

namespace zarvo {

namespace {

bool CanTakeFocus(const tView* view) {
    return view->HasState(ViewState::Visible) && !view->HasState(ViewState::Disabled) &&
           view->HasOption(ViewOption::Selectable);
}

} // namespace

// ---- tDialogCont

tDialogCont::tDialogCont(const tRect& bounds, std::string_view title) : tDialog(bounds, title) {}

void tDialogCont::HandleEvent(TEventRec& event) {
    if (event.what == evtCommand && event.message.command == cmdOk) {
        if (!Valid(cmdValidateAll)) {
            ConsumeEvent(event);
            return;
        }
        SendToView(this, evtBroadcast, cmdStoreFields, nullptr);
    }
    tDialog::HandleEvent(event);
}

// ---- tMultiDialog

tMultiDialog::tMultiDialog(const tRect& bounds, std::string_view title)
    : tDialogCont(bounds, title), PageFocus(1, nullptr) {
    PageFocus.reserve(10);
}

tMultiDialog::~tMultiDialog() {
    // The subviews outlive this part of the dialog: they are freed by the group afterwards.
    for (const tPageView& entry : m_PageViews)
        entry.View->Unsubscribe(evnObjectFree, BindHandler<&tMultiDialog::OnPageViewFreed>(this));
}

void tMultiDialog::OnPageViewFreed(EventFrame& frame) {
    auto* view = static_cast<tView*>(frame.Argument);
    std::erase_if(m_PageViews, [view](const tPageView& entry) { return entry.View == view; });
    for (tView*& focus : PageFocus)
        if (focus == view)
            focus = nullptr;
}

void tMultiDialog::InsertOnPage(tView* view, int page) {
    if (view == nullptr || page < 0)
        return;
    while (page >= PageCount)
        AddPage();
    tRect bounds = view->BoundsRect();
    bounds.Move(0, std::int16_t((page - CurrentPage) * Height));
    view->AssignBounds(bounds);
    InsertView(view);
    m_PageViews.push_back({view, page});
    view->Subscribe(evnObjectFree, BindHandler<&tMultiDialog::OnPageViewFreed>(this));
}

void tMultiDialog::AddPage() {
    ++PageCount;
    PageFocus.push_back(nullptr);
    if (PageBar == nullptr) {
        PageBar = AddScrollBar(ScrollBarOption::Vertical);
        PageIndicator = new tIndicator(MakeRect(1, Height - 1, 10, Height));
        InsertView(PageIndicator);
    }
    tTemporaryChange<bool> guard(m_Switching, true);
    PageBar->SetAll(CurrentPage, 0, PageCount - 1, 1, 1);
    // Read as "page:pages".
    PageIndicator->ShowLocation(tPoint{std::int16_t(PageCount - 1), CurrentPage}, false);
}

int tMultiDialog::PageOf(const tView* view) const {
    for (const tPageView& entry : m_PageViews)
        if (entry.View == view)
            return entry.Page;
    return -1;
}

bool tMultiDialog::OnShownPage(const tView* view) const {
    int page = PageOf(view);
    return page < 0 ? view->Owner == this : page == CurrentPage;
}

void tMultiDialog::ShowPage(int page) {
    if (page == CurrentPage || page < 0 || page >= PageCount)
        return;
    if (CurrentView != nullptr && OnShownPage(CurrentView))
        PageFocus[std::size_t(CurrentPage)] = CurrentView;
    const int shift = (CurrentPage - page) * Height;
    for (const tPageView& entry : m_PageViews) {
        tRect bounds = entry.View->BoundsRect();
        bounds.Move(0, std::int16_t(shift));
        entry.View->AssignBounds(bounds);
    }
    CurrentPage = std::int16_t(page);
    {
        tTemporaryChange<bool> guard(m_Switching, true);
        PageBar->SetPosition(page);
        PageIndicator->ShowLocation(tPoint{std::int16_t(PageCount - 1), CurrentPage}, false);
    }
    // Every view moved: the cached image is stale as a whole.
    FreeCache();
    Repaint();
}

tView* tMultiDialog::FirstSelectableOn(int page) {
    for (const tPageView& entry : m_PageViews)
        if (entry.Page == page && CanTakeFocus(entry.View))
            return entry.View;
    return nullptr;
}

void tMultiDialog::SelectPage(int page) {
    if (page == CurrentPage || page < 0 || page >= PageCount)
        return;
    ShowPage(page);
    tView* target = PageFocus[std::size_t(page)];
    if (target == nullptr || !CanTakeFocus(target))
        target = FirstSelectableOn(page);
    tTemporaryChange<bool> guard(m_Switching, true);
    if (target != nullptr)
        target->SelectView();
}

bool tMultiDialog::CurrentLetsGo() {
    return CurrentView == nullptr || CurrentView->Valid(cmdValidateField);
}

tView* tMultiDialog::NeighbourOnPage(bool forward) {
    tView* current = CurrentView;
    if (current == nullptr)
        return FirstSelectableOn(CurrentPage);
    tView* p = current;
    do {
        p = forward ? p->NextView : p->Predecessor();
        if (p == nullptr)
            return nullptr;
    } while (p != current && !(CanTakeFocus(p) && OnShownPage(p)));
    return p == current ? nullptr : p;
}

bool tMultiDialog::Valid(std::uint16_t command) {
    if (command == cmdValidateAll) {
        for (std::size_t i = 0; i < m_PageViews.size(); ++i) {
            tPageView entry = m_PageViews[i];
            if (entry.View->Valid(command))
                continue;
            if (entry.Page != CurrentPage)
                ShowPage(entry.Page);
            if (CurrentView == nullptr || !OnShownPage(CurrentView)) {
                tTemporaryChange<bool> guard(m_Switching, true);
                entry.View->SelectView();
            }
            return false;
        }
        // The views shown on every page (buttons) last.
        tView* refused = FindView(
            [this, command](tView* view) { return PageOf(view) < 0 && !view->Valid(command); });
        return refused == nullptr;
    }
    if (command == cmdValidatePage) {
        for (const tPageView& entry : m_PageViews)
            if (entry.Page == CurrentPage && !entry.View->Valid(cmdValidateField))
                return false;
        return true;
    }
    return tDialogCont::Valid(command);
}

void tMultiDialog::HandleEvent(TEventRec& event) {
    if (event.what == evtCommand &&
        (event.message.command == cmdNextControl || event.message.command == cmdPrevControl)) {
        // Tab walks the ring backwards (creation order), like a plain window.
        if (tView* next = NeighbourOnPage(event.message.command == cmdPrevControl))
            next->TakeFocus();
        ConsumeEvent(event);
        return;
    }
    // A subview may consume a broadcast on its way; what it announced still happened.
    TEventRec seen = event;
    tDialogCont::HandleEvent(event);
    if (event.what == evtKeyDown)
        HandlePageKey(event);
    else if (seen.what == evtBroadcast)
        HandleBroadcast(seen);
}

bool tMultiDialog::HandlePageKey(TEventRec& event) {
    int page;
    if (event.key.keyCode == kKeyPgUp)
        page = CurrentPage - 1;
    else if (event.key.keyCode == kKeyPgDn)
        page = CurrentPage + 1;
    else
        return false;
    if (page < 0 || page >= PageCount)
        return false;
    if (CurrentLetsGo())
        SelectPage(page);
    ConsumeEvent(event);
    return true;
}

void tMultiDialog::HandleBroadcast(TEventRec& event) {
    auto* view = static_cast<tView*>(event.message.info);
    switch (event.message.command) {
    case cmdFocusGained: {
        if (view == nullptr || view->Owner != this)
            return;
        int page = PageOf(view);
        if (page < 0) {
            PageFocus[std::size_t(CurrentPage)] = view;
            return;
        }
        PageFocus[std::size_t(page)] = view;
        // The focus went to another page by a hot key or a field selecting itself.
        if (!m_Switching && page != CurrentPage)
            ShowPage(page);
        return;
    }
    case cmdScrollChanged:
        if (m_Switching || view == nullptr || view != PageBar || PageBar->Value == CurrentPage)
            return;
        if (CurrentLetsGo()) {
            SelectPage(PageBar->Value);
        } else {
            tTemporaryChange<bool> guard(m_Switching, true);
            PageBar->SetPosition(CurrentPage);
        }
        return;
    default:
        return;
    }
}

} // namespace zarvo
