// tInputLine, the one-line text editor of dialogs: a length-prefixed CP866 text of at most
// MaxLength characters with a cursor, a selection, insert and overwrite, horizontal
// scrolling with arrow marks at the ends, and text exchange with a clipboard when one exists.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "views/view.h"

namespace zarvo {

// The clipboard behind Ctrl+Ins, Shift+Ins and Ctrl+V. None is installed by default: the keys are
// then only consumed.
class tInputClipboard {
  public:
    virtual ~tInputClipboard() = default;
    virtual void CopyText(std::string_view text) = 0;
    // False, or an empty TEXT, when there is nothing to paste.
    virtual bool PasteText(std::string& text) = 0;
};
extern tInputClipboard* InputClipboard; // not owned

// The object message that asks a line for the address of its text buffer (in Result).
inline constexpr std::uint32_t kMsgInputLineData = 523;

// What a line says when a character CP866 lacks was typed or pasted into it (CP866).
std::string UntypableMessage(tUntypable untypable);

// A line never holds more than a short string.
inline constexpr std::int16_t kMaxInputLength = 255;

class tInputLine : public tView {
  public:
    // MAXLENGTH is kept within 0 .. 255.
    tInputLine(const tRect& bounds, std::int16_t maxLength);
    // A 10 x 2 line at (0, 0) holding up to 255 characters.
    tInputLine();
    explicit tInputLine(tStreamLoad);

    // ---- overrides
    std::uint16_t StoreID() const override; // 11
    void Store(tStream& s) override;
    void Load(tStream& s) override;
    std::uint16_t DataLength() override;
    void Draw() override;
    void ExportData(void* record) override;
    tPalette GetPalette() const override;
    void HandleEvent(TEventRec& event) override;
    void ImportData(const void* record) override;
    void ApplyState(std::uint16_t mask, bool on) override;
    void DispatchMessage(tMessage& message) override;

    // ---- added virtual operations
    virtual void DeleteSelection();
    virtual void InsertText(std::string_view text);

    // A copy of the text (empty without a buffer).
    std::string LineText() const;
    // The text becomes S cut to MaxLength; no repaint, cursor and selection untouched.
    void SetLineText(std::string_view s);
    void SelectAll(bool on);
    bool CanScroll(int delta) const;
    int TextLength() const { return Data != nullptr ? Data[0] : 0; }

    // ---- fields, in their fixed order
    // MaxLength + 1 bytes: the length byte, then room for MaxLength characters.
    std::unique_ptr<std::uint8_t[]> Data;
    std::int16_t MaxLength = 0;
    std::int16_t CursorPos = 0;
    std::int16_t FirstShown = 0;
    std::int16_t SelStart = 0;
    std::int16_t SelEnd = 0;

  private:
    void MakeBuffer(std::int16_t maxLength);
    char* Chars() { return reinterpret_cast<char*>(Data.get() + 1); }
    void EraseChars(int at, int count);
    void InsertChars(int at, std::string_view text);
    int MouseEdge(const TEventRec& event) const;
    int MouseColumn(const TEventRec& event) const;
    void HandleMouse(TEventRec& event);
    void TrackSelection(TEventRec& event);
    // Steps 2 and 3 of a key; false when the key is left alone.
    bool EditByKey(std::uint16_t key);
    void TypeChar(char ch);
    void ExtendSelection(int anchor);
    void ClipboardCopy();
    void ClipboardPaste();
    // Keeps the loaded positions within the text: 0 <= FirstShown <= CursorPos <= length,
    // 0 <= SelStart <= SelEnd <= length.
    void ClampPositions();
};

} // namespace zarvo
