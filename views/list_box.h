// tListBox, the list viewer of dialogs that shows a collection of short strings and hands
// the collection and its focused item to and from the dialog's record; and tSortedListBox,
// which moves the focus while the user types the beginning of an item.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "library/collection.h"
#include "views/list_viewer.h"

namespace zarvo {

// A list box's dialog data: the collection itself (not a copy) and the focused item.
struct tListBoxRecord {
    tCollection* List = nullptr;
    std::int16_t Focused = 0;
};

class tListBox : public tListViewer {
  public:
    // No horizontal bar.
    tListBox(const tRect& bounds, std::int16_t columnCount, tScrollBar* vBar);
    explicit tListBox(tStreamLoad);
    // Leaves an attached List alone: the last attached collection is the caller's. A
    // collection the box loaded itself and never handed out through ExportData is freed.
    ~tListBox() override;

    std::uint16_t StoreID() const override; // 16
    void Store(tStream& s) override;
    void Load(tStream& s) override;
    std::uint16_t DataLength() override;
    void ExportData(void* record) override;
    tPalette GetPalette() const override;
    void ImportData(const void* record) override;
    // The whole text of a string collection's item; empty for other collections.
    std::string ItemText(std::int16_t item, int maxLength) override;

    // Shows L; frees the collection shown before when L is a different one.
    virtual void AttachList(tCollection* list);

    tCollection* List = nullptr; // may be null; not owned once replaced or the box is gone

  private:
    // A collection freed elsewhere while shown is let go of, never drawn or freed again.
    void WatchList();
    void UnwatchList();
    void OnListFreed(EventFrame& frame);
    // List came from the box's own Load and no caller has been given it yet.
    bool m_OwnsLoadedList = false;
};

class tSortedListBox : public tListBox {
  public:
    tSortedListBox(const tRect& bounds, std::int16_t columnCount, tScrollBar* vBar);
    explicit tSortedListBox(tStreamLoad);

    std::uint16_t StoreID() const override; // 53
    void Load(tStream& s) override;
    void HandleEvent(TEventRec& event) override;
    void AttachList(tCollection* list) override;

    // The key searched for when the typed text is S; the search passes its address to the
    // sorted collection, so it is a short string here as the string collections' keys are.
    virtual std::string SearchKey(std::string_view s);

    // How many leading characters of the focused item were typed; 0: no search under way.
    std::int16_t SearchPos = 0;

  private:
    // Steps 3 to 7 of a typed key; whether the key is taken.
    bool SearchByKey(const TEventRec& event, std::int16_t oldFocus);
    bool PrefixMatches(std::int16_t item, const std::string& typed);
    // Where KEY stands or would go in List; false when List cannot be searched by text.
    bool FindKey(const std::string& key, std::int16_t& index);
};

} // namespace zarvo
