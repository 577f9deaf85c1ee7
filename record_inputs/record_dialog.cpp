// BuildRecordDialog and its layout: which fields become rows, how tall the pages are, where
// inputs, choosers, captions and buttons go.
#include "record_inputs/record_dialog.h"

#include <algorithm>
#include <numeric>
#include <string>

#include "console/cells.h"
#include "diagnostics/pending_error.h"
#include "library/validity.h"
#include "platform/cp866.h"
#include "record_inputs/field_controls.h"
#include "record_inputs/super_un_label.h"
#include "views/button.h"
#include "views/label.h"
#include "views/message_box_call.h"

namespace zarvo {

tFieldInputMaker FieldInputFactory = &MakeFieldInput;
tFieldCompanionMaker FieldCompanionFactory = &MakeFieldCompanion;

namespace {

// The rows of each page start below the frame and a blank line.
constexpr int kFirstRow = 2;
// Captions start here; inputs this far right of the widest caption.
constexpr int kCaptionColumn = 1;
constexpr int kInputGap = 4;
// The narrowest dialog (without frame), and with the delete button.
constexpr int kMinDialogWidth = 40;
constexpr int kMinDialogWidthDelete = 47;
// The button row starts this far left of the widest row's right edge.
constexpr int kButtonsFromRight = 37;
// " ( ) Нет  ( ) Да" in one row.
constexpr int kBooleanInputWidth = 15;
constexpr std::uint16_t kMessageRefusal = 1026;
constexpr std::uint16_t kMessageNotice = 1024;

struct tDialogRow {
    int Field;
    int Height;
    int Page = 1; // from 1
    int Row = kFirstRow;
};

int MemoHeight(tIARecord& record, int n) {
    std::vector<std::uint8_t> minimum(std::size_t(std::max(record.FieldSize(n), 2)), 0);
    record.GetMin(n, minimum.data());
    const int lines = minimum[0] | (minimum[1] << 8);
    return std::max(6, std::min(lines + 2, kMaxRecordPageHeight));
}

// Left to right with the gaps between; a gap of 1 follows every button but the last.
struct tButtonPlace {
    std::string_view Title;
    std::uint16_t Command;
    int Width;
    std::uint8_t Flags;
};

// The fields meeting MASK, in order, and the longest caption (tildes counted). A field whose
// input would have no place for its value is refused whatever maker is in use.
std::vector<tDialogRow> SelectRows(tIARecord& record, std::uint32_t mask, int& widest) {
    std::vector<tDialogRow> rows;
    widest = 0;
    const int count = record.FieldCount();
    for (int n = 1; n <= count; ++n) {
        const std::uint32_t flags = record.FieldFlags(n);
        if ((flags & mask) == 0)
            continue;
        if ((flags & ffNoInputLine) == 0 && FieldHasNoValuePlace(record, n))
            continue;
        const int height = record.FieldType(n) == ftMemo ? MemoHeight(record, n) : 1;
        rows.push_back({n, height});
        widest = std::max<int>(widest, int(record.DisplayCaption(n).size()));
    }
    return rows;
}

// The rows fit one dialog; otherwise the operator is told why there is none.
bool RowsFit(const std::vector<tDialogRow>& rows) {
    if (rows.size() > std::size_t(kMaxRecordDialogRows)) {
        std::string text = std::string("Превышено ограничение в "_oem) +
                           std::to_string(kMaxRecordDialogRows) +
                           std::string(" вводимых полей!"_oem);
        MessageBoxCall(text, kMessageRefusal);
        return false;
    }
    if (rows.empty()) {
        MessageBoxCall("Нет изменяемых полей."_oem, kMessageNotice);
        return false;
    }
    return true;
}

// Pages and rows for every row; the page height.
int PlaceRows(std::vector<tDialogRow>& rows) {
    std::vector<int> heights, pages;
    for (const tDialogRow& row : rows)
        heights.push_back(row.Height);
    const int height = LayoutPages(heights, pages);
    int page = 0, next = kFirstRow;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (pages[i] != page) {
            page = pages[i];
            next = kFirstRow;
        }
        rows[i].Page = page;
        rows[i].Row = next;
        next += rows[i].Height;
    }
    return height;
}

class tRowBuilder {
  public:
    tRowBuilder(tMultiDialog& dialog, tIARecord& record, int inputColumn)
        : m_Dialog(dialog), m_Record(record), m_InputColumn(inputColumn) {}

    void Place(const tDialogRow& row);
    int RightEdge() const { return m_RightEdge; }

  private:
    tObjectPtr<tView> MakeInput(const tDialogRow& row);
    void Insert(tView* view, const tDialogRow& row) {
        m_RightEdge = std::max<int>(m_RightEdge, view->BoundsRect().Right);
        m_Dialog.InsertOnPage(view, row.Page - 1);
    }

    tMultiDialog& m_Dialog;
    tIARecord& m_Record;
    int m_InputColumn;
    int m_RightEdge = 0;
};

tObjectPtr<tView> tRowBuilder::MakeInput(const tDialogRow& row) {
    const int n = row.Field;
    tRect bounds = MakeRect(m_InputColumn, row.Row,
                            m_InputColumn + FieldInputWidth(m_Record, n) + 2, row.Row + row.Height);
    tObjectPtr<tView> input = FieldInputFactory(bounds, m_Record, n);
    if (input == nullptr)
        return input;
    if ((m_Record.FieldFlags(n) & ffRequired) && m_Record.FieldType(n) != ftBoolean)
        MarkFieldRequired(input.get());
    bounds = input->BoundsRect();
    if (bounds.Right > kInputRightLimit) {
        bounds.Right = kInputRightLimit;
        input->AssignBounds(bounds);
    }
    return input;
}

void tRowBuilder::Place(const tDialogRow& row) {
    const int n = row.Field;
    const std::uint32_t flags = m_Record.FieldFlags(n);
    tObjectPtr<tView> input;
    int companionLeft = m_InputColumn;
    if ((flags & ffNoInputLine) == 0) {
        input = MakeInput(row);
        if (input == nullptr)
            return;
        companionLeft = input->BoundsRect().Right;
    }
    tRect area = MakeRect(companionLeft, row.Row, kRowRightLimit, row.Row + row.Height);
    tObjectPtr<tView> companion = FieldCompanionFactory(area, m_Record, n, input.get());
    if (input == nullptr && companion == nullptr)
        return;
    tView* display = CompanionDisplayView(companion.get());
    tView* link = input != nullptr ? input.get() : display != nullptr ? display : companion.get();
    if (input != nullptr)
        Insert(input.release(), row);
    if (display != nullptr && display->Owner == nullptr)
        Insert(display, row);
    if (companion != nullptr) {
        if (flags & ffRequired)
            MarkFieldRequired(companion.get());
        Insert(companion.release(), row);
    }
    const std::string caption = m_Record.DisplayCaption(n);
    const tRect bounds = MakeRect(kCaptionColumn, row.Row, HotTextLength(caption) + 2, row.Row + 1);
    tView* label = (flags & ffTableLinked) ? new tSuperUnLabel(bounds, caption, link)
                                           : new tLabel(bounds, caption, link);
    m_Dialog.InsertOnPage(label, row.Page - 1);
}

void AddButtons(tMultiDialog& dialog, int width, int pageHeight, std::uint16_t flags,
                bool withDelete) {
    std::vector<tButtonPlace> buttons;
    if ((flags & RecordDialogFlag::ReadOnly) == 0)
        buttons.push_back({"Принять"_oem, cmdOk, 11, ButtonFlag::IsDefaultButton});
    buttons.push_back({"Отказ"_oem, cmdCancel, 9, 0});
    if (withDelete)
        buttons.push_back({"Удалить"_oem, cmdNo, 11, 0});
    buttons.push_back({"Помощь"_oem, cmdHelp, 10, 0});
    int total = -1;
    for (const tButtonPlace& button : buttons)
        total += button.Width + 1;
    // A row wider than the usual three starts further left instead of running out of the
    // dialog; the usual row starts where it always did.
    int x = std::max(1, std::min(width - kButtonsFromRight, width + 1 - total));
    const int top = pageHeight + 3;
    for (const tButtonPlace& button : buttons) {
        dialog.InsertView(new tButton(MakeRect(x, top, x + button.Width, top + 2), button.Title,
                                      button.Command, button.Flags));
        x += button.Width + 1;
    }
}

void MakeReadOnly(tMultiDialog& dialog) {
    dialog.ForEachView([&dialog](tView* view) {
        if (dialog.PageOf(view) < 0)
            return;
        view->OptionFlags &= ~ViewOption::Selectable;
        view->ChangeState(ViewState::Disabled, true);
    });
}

} // namespace

int LayoutPages(const std::vector<int>& heights, std::vector<int>& pages) {
    const int total = std::accumulate(heights.begin(), heights.end(), 0);
    const int tallest = heights.empty() ? 0 : *std::max_element(heights.begin(), heights.end());
    const int lowest = std::min(std::max(total / (total / kMaxRecordPageHeight + 2) + 1, tallest),
                                kMaxRecordPageHeight);
    // Greedy filling at HEIGHT: rows stay in order, a row that does not fit opens a page.
    auto fill = [&heights](int height, std::vector<int>* assigned) {
        int page = 1, left = height, emptiest = 0;
        for (int h : heights) {
            if (h > left) {
                emptiest = std::max(emptiest, left);
                ++page;
                left = height;
            }
            left -= h;
            if (assigned != nullptr)
                assigned->push_back(page);
        }
        return std::max(emptiest, left);
    };
    int chosen = kMaxRecordPageHeight;
    int best = fill(chosen, nullptr);
    for (int height = kMaxRecordPageHeight - 1; height >= lowest; --height) {
        const int empty = fill(height, nullptr);
        if (empty < best) {
            best = empty;
            chosen = height;
        }
    }
    pages.clear();
    fill(chosen, &pages);
    return chosen;
}

int FieldInputWidth(tIARecord& record, int n) {
    // A yes/no field's display width fits its text, not its two radio buttons.
    if (record.FieldType(n) == ftBoolean)
        return std::max(record.FieldWidth(n), kBooleanInputWidth);
    return record.FieldWidth(n);
}

tObjectPtr<tMultiDialog> BuildRecordDialog(void* data, tIARecord& record, std::uint32_t mask,
                                           std::string_view title, std::uint16_t flags) {
    if (IsErrorPending())
        return nullptr;
    if (data != nullptr)
        record.SetDataBuffer(data);
    int widest = 0;
    std::vector<tDialogRow> rows = SelectRows(record, mask, widest);
    if (!RowsFit(rows))
        return nullptr;
    const int pageHeight = PlaceRows(rows);
    auto dialog = MakeObject<tMultiDialog>(MakeRect(0, 0, kRowRightLimit, pageHeight + 6), title);
    dialog->OptionFlags |= ViewOption::Centered;
    dialog->AcceptMask |= evtIdle;

    tRowBuilder builder(*dialog, record, widest + kInputGap);
    for (const tDialogRow& row : rows)
        builder.Place(row);

    const bool withDelete = (flags & RecordDialogFlag::Delete) && mask != 1;
    const int width = std::clamp(
        builder.RightEdge(), withDelete ? kMinDialogWidthDelete : kMinDialogWidth, kRowRightLimit);
    dialog->ApplyBounds(MakeRect(0, 0, width + 2, pageHeight + 6));
    if (flags & RecordDialogFlag::ReadOnly)
        MakeReadOnly(*dialog);
    AddButtons(*dialog, width, pageHeight, flags, withDelete);
    if (tView* first = dialog->FirstSelectableOn(0))
        first->SelectView();
    if (!ValidateRef(dialog))
        return nullptr;
    return dialog;
}

} // namespace zarvo
