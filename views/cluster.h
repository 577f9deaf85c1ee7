// tCluster, a column-wise list of marked items with hot letters (chosen by arrows, hot keys,
// space and clicks), and its two kinds: tRadioButtons (one item marked, following the cursor)
// and tCheckBoxes (one bit per item). The value changes only through a named event, so that
// others can watch or replace it.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "library/collection_strings.h"
#include "views/view.h"

namespace zarvo {

// Fired by SetClusterValue with the new value (std::uint16_t*); the default stores it.
inline constexpr std::string_view evnClusterValue = "E6YL8X5O1";

// A node of the item chain a cluster is made from; the cluster takes the chain apart.
struct tSItem {
    std::string Text;
    std::unique_ptr<tSItem> Next;
    // Frees the rest of the chain node by node: a long chain must not recurse once per node.
    ~tSItem() {
        while (Next != nullptr)
            Next = std::move(Next->Next);
    }
};
std::unique_ptr<tSItem> NewSItem(std::string_view text, std::unique_ptr<tSItem> next);

class tCluster : public tView {
  public:
    // Asked before an item is pressed (false vetoes), told after.
    using tBeforePress = std::function<bool(tCluster* sender, std::int16_t item)>;
    using tAfterPress = std::function<void(tCluster* sender, std::int16_t item)>;

    tCluster(const tRect& bounds, std::unique_ptr<tSItem> items);
    explicit tCluster(tStreamLoad);

    // ---- overrides
    std::uint16_t StoreID() const override; // 13
    void Store(tStream& s) override;
    void Load(tStream& s) override;
    std::uint16_t DataLength() override;
    void Draw() override;
    void ExportData(void* record) override;
    std::uint16_t HelpContext() override;
    tPalette GetPalette() const override;
    void HandleEvent(TEventRec& event) override;
    void ImportData(const void* record) override;
    void ApplyState(std::uint16_t mask, bool on) override;

    // ---- added virtual operations, in their fixed order
    virtual bool ItemMarked(std::int16_t item);
    virtual void ActivateItem(std::int16_t item);
    // The cursor moved to ITEM.
    virtual void ItemReached(std::int16_t item);

    void SetClusterValue(std::uint16_t value);
    void SetEnableMask(std::uint32_t mask);
    bool ItemEnabled(std::int16_t item) const;
    // Presses SelectedItem unless OnBeforePress vetoes.
    void PressItem();
    // The first column of ITEM's column (items fill columns top to bottom).
    int ColumnStart(int item) const;
    // The item at P (local), or -1.
    int ItemUnder(tPoint p) const;
    std::int16_t ItemCount() const { return Items != nullptr ? Items->Count : 0; }
    const std::string& ItemText(int item) const;

    // ---- fields, in their fixed order
    tBeforePress OnBeforePress;
    tAfterPress OnAfterPress;
    std::uint16_t ClusterValue = 0;
    std::uint32_t EnableMask = 0;
    std::int16_t SelectedItem = 0;
    tObjectPtr<tStringCollection> Items;

  protected:
    // Draws the items with ICON (5 cells) and MARKER in its middle for marked items.
    void DrawItems(std::string_view icon, char marker);

  private:
    int Rows() const;
    void TrackMouse(TEventRec& event);
    void HandleKey(TEventRec& event);
    // The item an arrow key leads to from FROM, or -1 when it leads to none that is enabled.
    int ArrowTarget(std::uint16_t key, int from) const;
    void OnStoreValue(EventFrame& frame);
};

class tRadioButtons : public tCluster {
  public:
    using tCluster::tCluster;

    std::uint16_t StoreID() const override; // 14
    void Draw() override;
    void ImportData(const void* record) override;
    bool ItemMarked(std::int16_t item) override;
    void ActivateItem(std::int16_t item) override;
    void ItemReached(std::int16_t item) override;
};

class tCheckBoxes : public tCluster {
  public:
    using tCluster::tCluster;

    std::uint16_t StoreID() const override; // 15
    void Draw() override;
    bool ItemMarked(std::int16_t item) override;
    void ActivateItem(std::int16_t item) override;
};

} // namespace zarvo
