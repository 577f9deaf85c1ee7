// TDeskTop, the group between the menu bar and the status line that holds the windows over
// its TBackground pattern: window numbers, cycling, tiling and cascading.
#pragma once

#include <cstdint>
#include <vector>

#include "views/group.h"

namespace zarvo {

class tWindow;

// The help context of the desktop.
inline constexpr std::uint16_t kDeskTopHelpTopic = 800;
// Commands that need windows on the desktop: tile and cascade (some window is tileable),
// and 27 (some window is selected). The application keeps them enabled accordingly.
inline constexpr std::uint16_t cmdTile = 25;
inline constexpr std::uint16_t cmdCascade = 26;
inline constexpr std::uint16_t cmdWindowSelected = 27;

// The desktop's pattern: every cell the pattern character in colour 1 of its palette.
class TBackground : public tView {
  public:
    TBackground(const tRect& bounds, std::uint8_t pattern);
    explicit TBackground(tStreamLoad);

    std::uint16_t StoreID() const override; // 30
    void Store(tStream& s) override;
    void Load(tStream& s) override;
    void Draw() override;
    tPalette GetPalette() const override;

    std::uint8_t Pattern = 0xB0; // "░"
};

// A small stack of fixed-size elements for help topics; the desktop keeps one.
class TStackForHelp : public tSObject {
  public:
    TStackForHelp(std::uint16_t elementSize, std::uint16_t capacity);

    std::uint16_t ElementSize = 0;
    std::uint16_t Capacity = 0;
    std::int16_t TopIndex = -1; // -1: empty
    std::vector<std::uint8_t> Elements;
};

class TDeskTop : public tGroup {
  public:
    explicit TDeskTop(const tRect& bounds);
    ~TDeskTop() override;

    virtual TBackground* InitBackground();
    // Numbered windows get the first free number and hear broadcasts; the others number 0.
    void InsertDesktop(tWindow* window, bool numbered);
    std::int16_t FirstWindowNumber();
    void Cascade(const tRect& area);
    void Tile(const tRect& area);
    // What a rectangle too small to tile or cascade into does: nothing.
    virtual void TileError();
    void HandleEvent(TEventRec& event) override;
    // P goes directly in front of the background.
    void tInsert(tView* p) override;

    TBackground* Background = nullptr;
    tObjectPtr<TStackForHelp> StackTopics;

  private:
    int CountTileable();
};

// The number limit FirstWindowNumber looks below (grows when every number is taken).
extern std::int16_t WindowNumberLimit;

// Registers TBackground (30) with object streaming. Safe to call more than once.
void RegisterDeskTopStreamClasses();

} // namespace zarvo
