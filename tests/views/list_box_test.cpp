// List boxes: the look and both palettes, the collection's ownership (freed when replaced,
// never twice, let go of when freed elsewhere), the dialog record, the sorted box's typed
// prefix search with Latin and Cyrillic texts, and the stored form with its damaged variants.
#include "views/list_box.h"

#include <gtest/gtest.h>

#include "console/key_codes.h"
#include "library/collection_strings.h"
#include "library/object_stream.h"
#include "library/object_stream_buffer.h"
#include "library/stream_class.h"
#include "tests/views/input_test_support.h"
#include "views/history.h"
#include "views/history_store.h"
#include "views/scroll_bar.h"
#include "views/window.h"

namespace zarvo {
namespace {

using namespace testing_input;

// A string collection that counts how many of its kind were destroyed.
class tCountedStrings : public tStringCollection {
  public:
    tCountedStrings(std::int16_t capacity = 10, std::int16_t growBy = 10)
        : tStringCollection(capacity, growBy) {}
    ~tCountedStrings() override { ++Destroyed; }
    static int Destroyed;
};
int tCountedStrings::Destroyed = 0;

template <class C = tCountedStrings> C* MakeStrings(std::initializer_list<std::string_view> items) {
    auto* list = new C(10, 10);
    for (std::string_view item : items)
        list->InsertText(item);
    return list;
}

class ListBoxTest : public tInputScreen {
  protected:
    void SetUp() override {
        tInputScreen::SetUp();
        tCountedStrings::Destroyed = 0;
    }
    template <class Box = tListBox>
    Box* AddBox(const tRect& bounds, int columns = 1, tScrollBar* vBar = nullptr) {
        auto* box = new Box(bounds, std::int16_t(columns), vBar);
        Group()->InsertView(box);
        box->SelectView();
        return box;
    }
    virtual tGroup* Group() { return Box; }
    // Collections the test still owns at its end.
    std::vector<tObjectPtr<tCollection>> Owned;
};

// Catches items, columns or the focus drawn wrongly, or the gray and blue dialogs' colours
// swapped.
TEST_F(ListBoxTest, LooksAndPalettes) {
    auto* box = AddBox(MakeRect(1, 1, 21, 3), 2);
    box->AttachList(MakeStrings({"alpha", "beta", "gamma", "delta"}));
    Owned.emplace_back(box->List);
    EXPECT_EQ(Cells(1, 1, 20), " alpha    │ delta   ");
    EXPECT_EQ(Cells(2, 1, 20), " beta     │ gamma   ");
    EXPECT_EQ(AttrAt(2, 1), Gray(27)) << "focused item, gray dialog";
    EXPECT_EQ(AttrAt(2, 2), Gray(26)) << "normal item";
    EXPECT_EQ(AttrAt(11, 2), Gray(29)) << "divider";

    auto* blue = new tDialog(MakeRect(0, 12, 40, 20), "");
    blue->ColorScheme = WindowScheme::Blue;
    Root->InsertView(blue);
    blue->ChangeState(ViewState::Active, true);
    auto* other = new tListBox(MakeRect(1, 1, 21, 3), 1, nullptr);
    blue->InsertView(other);
    other->SelectView();
    other->AttachList(MakeStrings({"one", "two"}));
    Owned.emplace_back(other->List);
    EXPECT_EQ(PaletteLength(blue->GetPalette()), 32);
    auto blueColor = [&](int entry) { return DialogColor(blue->GetPalette(), entry); };
    EXPECT_EQ(AttrAt(2, 13), blueColor(7)) << "focused item, blue dialog: the label colour";
    EXPECT_EQ(AttrAt(2, 14), blueColor(6)) << "normal item: the static text colour";
}

// Catches the replaced collection kept, the same one freed when attached again, a shared
// collection freed twice, or a collection freed elsewhere still drawn.
TEST_F(ListBoxTest, AttachListFreesOnlyTheReplacedOne) {
    auto* box = AddBox(MakeRect(1, 1, 21, 5));
    auto* first = MakeStrings({"a", "b", "c"});
    box->AttachList(first);
    box->FocusAt(2);
    box->AttachList(first);
    EXPECT_EQ(tCountedStrings::Destroyed, 0) << "attaching the shown one again frees nothing";
    EXPECT_EQ(box->FocusedItem, 0) << "attaching focuses the first item";
    auto* second = MakeStrings({"x", "y"});
    box->AttachList(second);
    EXPECT_EQ(tCountedStrings::Destroyed, 1) << "the replaced one is freed";
    EXPECT_EQ(box->ItemCount, 2);

    // Two boxes showing one collection: when one replaces it, the other lets go of it.
    auto* twin = AddBox(MakeRect(1, 6, 21, 9));
    twin->AttachList(second);
    box->AttachList(nullptr);
    EXPECT_EQ(tCountedStrings::Destroyed, 2);
    EXPECT_EQ(twin->List, nullptr) << "the twin let go of the freed collection";
    EXPECT_EQ(twin->ItemCount, 0);
    EXPECT_EQ(Cells(6, 1, 6), "      ") << "and draws nothing of it";
    twin->AttachList(MakeStrings({"z"}));
    EXPECT_EQ(tCountedStrings::Destroyed, 2) << "nothing freed a second time";
    Owned.emplace_back(twin->List);

    // The caller frees the collection it got back: the box must not keep it.
    auto* third = MakeStrings({"p", "q"});
    box->AttachList(third);
    FreeObject(third);
    EXPECT_EQ(box->List, nullptr);
    box->Repaint();
    TEventRec down = Key(kKeyDown);
    box->HandleEvent(down);
    FreeObject(box);
    EXPECT_EQ(tCountedStrings::Destroyed, 3) << "freeing the box frees no collection";
}

// Catches the record's collection copied instead of passed, the old one kept, or the record's
// focused index ignored.
TEST_F(ListBoxTest, DialogRecord) {
    auto* box = AddBox(MakeRect(1, 1, 21, 5));
    EXPECT_EQ(box->DataLength(), sizeof(tListBoxRecord));
    box->AttachList(MakeStrings({"a", "b", "c"}));
    tListBoxRecord record{MakeStrings({"k", "l", "m", "n"}), 3};
    box->ImportData(&record);
    EXPECT_EQ(tCountedStrings::Destroyed, 1) << "the collection shown before is freed";
    EXPECT_EQ(box->List, record.List) << "the record passes the collection itself";
    EXPECT_EQ(box->FocusedItem, 3);
    EXPECT_EQ(Cells(4, 1, 3), " n ");
    EXPECT_EQ(AttrAt(2, 4), Gray(27)) << "the record's item is shown focused";
    tListBoxRecord back;
    box->FocusAt(1);
    box->ExportData(&back);
    EXPECT_EQ(back.List, record.List);
    EXPECT_EQ(back.Focused, 1);
    Owned.emplace_back(back.List);
}

// Catches item text asked of the wrong items: past the end, negative, or without a list.
TEST_F(ListBoxTest, ItemTextOutsideTheList) {
    auto* box = AddBox(MakeRect(1, 1, 21, 5));
    EXPECT_EQ(box->ItemText(0, 10), "");
    box->AttachList(MakeStrings({"only"}));
    Owned.emplace_back(box->List);
    EXPECT_EQ(box->ItemText(0, 2), "only") << "the whole text; the viewer cuts what it draws";
    EXPECT_EQ(box->ItemText(1, 10), "");
    EXPECT_EQ(box->ItemText(-1, 10), "");
}

struct tSearchStep {
    TEventRec Key;
    int Focused;
    int SearchPos;
    bool Taken;
};

class SortedListBoxTest : public ListBoxTest {
  protected:
    // Runs STEPS on a sorted box over ITEMS starting at item FROM; with a vertical bar when
    // WITHBAR.
    void Run(const char* name, std::initializer_list<std::string_view> items, int from,
             std::initializer_list<tSearchStep> steps, bool withBar) {
        tScrollBar* bar = nullptr;
        if (withBar) {
            bar = new tScrollBar(MakeRect(21, 1, 22, 6));
            Box->InsertView(bar);
        }
        auto* box = AddBox<tSortedListBox>(MakeRect(1, 1, 21, 6), 1, bar);
        box->AttachList(MakeStrings(items));
        Owned.emplace_back(box->List);
        box->FocusAt(std::int16_t(from));
        box->Repaint();
        int step = 0;
        for (const tSearchStep& s : steps) {
            TEventRec key = s.Key;
            box->HandleEvent(key);
            std::string where = std::string(name) + ", step " + std::to_string(++step);
            EXPECT_EQ(box->FocusedItem, s.Focused) << where;
            EXPECT_EQ(box->SearchPos, s.SearchPos) << where;
            EXPECT_EQ(key.what == evtNothing, s.Taken) << where;
            EXPECT_EQ(AttrAt(2, 1 + box->FocusedItem - box->TopItem), Gray(27))
                << where << ": the focused item is drawn focused";
            EXPECT_EQ(Cursor().X, 2 + box->SearchPos) << where << ": the cursor ends the prefix";
        }
        FreeObject(box);
        FreeObject(bar);
    }
};

// Catches the typed-prefix search moving the focus wrongly, losing or keeping SearchPos
// wrongly, or taking keys the dialog needs (and the focus not shown without a bar).
TEST_F(SortedListBoxTest, TypedPrefixSearch) {
    for (bool withBar : {true, false}) {
        Run("alpha beta gamma", {"alpha", "beta", "gamma"}, 0,
            {
                {Char('g'), 2, 1, true},
                {Char('x'), 2, 1, true},          // swallowed: a Latin letter
                {Char("ж"_oem[0]), 2, 1, false},  // unmatched Cyrillic is left alone
                {Key(kKeyBackspace), 0, 0, true}, // the empty prefix matches the first
                {Key(kKeyBackspace), 0, 0, false},
                {Char('b'), 1, 1, true},
                {Char('e'), 1, 2, true},
                {Key(kKeyEnter), 1, 2, false},
                {Key(kKeyUp), 0, 0, true}, // moving the focus ends the search
            },
            withBar);
        Run("Cyrillic", {"арбуз"_oem, "банан"_oem, "вишня"_oem, "груша"_oem}, 0,
            {
                {Char("в"_oem[0]), 2, 1, true},
                {Char("и"_oem[0]), 2, 2, true},
                {Char("ы"_oem[0]), 2, 2, false},
                {Key(kKeyBackspace), 2, 1, true},
                {Char("г"_oem[0]), 2, 1, false}, // a different first letter: no match
            },
            withBar);
    }
    Run("a dot jumps past the name", {"a.txt", "readme.txt", "zeta"}, 1,
        {
            {Char('.'), 1, 7, true},
            {Char('t'), 1, 8, true},
            {Char('q'), 1, 8, true},
        },
        true);
    Run("a dot in a text without one", {"abc", "def"}, 1, {{Char('.'), 1, 0, false}}, true);
}

// Catches the search running on a collection that is not kept in text order, or on none,
// in a way that faults.
TEST_F(SortedListBoxTest, UnsortedOrMissingCollection) {
    auto* box = AddBox<tSortedListBox>(MakeRect(1, 1, 21, 6));
    TEventRec key = Char('q');
    box->HandleEvent(key);
    EXPECT_EQ(box->SearchPos, 0) << "no collection: nothing found";
    auto* unsorted = new tCountedStrings();
    for (std::string_view text : {"zulu", "alpha", "mike"})
        unsorted->InsertAt(unsorted->Count, tStringCollection::NewItem(text));
    box->AttachList(unsorted);
    Owned.emplace_back(unsorted);
    for (char ch : {'m', 'i', 'k', 'z', 'a'}) {
        key = Char(ch);
        box->HandleEvent(key);
        EXPECT_LT(box->FocusedItem, 3);
    }
    box->SearchPos = 4;
    box->AttachList(unsorted);
    EXPECT_EQ(box->SearchPos, 0) << "attaching ends the search";
}

// Stores a history entry where a list box keeps its collection.
class tListBoxProbe : public tListBox {
  public:
    tListBoxProbe() : tListBox(MakeRect(0, 0, 10, 3), 1, nullptr) {}
    std::uint16_t StoreID() const override { return 30016; }
    void Store(tStream& s) override {
        tListViewer::Store(s);
        tHistoryObject entry(1, "not a collection");
        Put(s, &entry);
    }
};

void RegisterProbe() {
    static const tStreamClass kProbe = StreamClassOf<tListBoxProbe>("tListBo2");
    static bool registered = false;
    if (!registered)
        RegisterStreamClass(kProbe);
    registered = true;
}

class ListBoxStreamTest : public ListBoxTest {
  protected:
    void SetUp() override {
        ListBoxTest::SetUp();
        RegisterLibraryStreamClasses();
        RegisterViewStreamClasses();
        RegisterWindowStreamClasses();
        RegisterInputStreamClasses();
    }
    // Puts a group holding a sorted list box (and its bar) over ITEMS.
    std::vector<std::uint8_t> StoredGroup(std::initializer_list<std::string_view> items) {
        tGroup group(MakeRect(0, 0, 30, 10));
        auto* bar = new tScrollBar(MakeRect(21, 0, 22, 5));
        group.InsertView(bar);
        auto* box = new tSortedListBox(MakeRect(0, 0, 20, 5), 1, bar);
        group.InsertView(box);
        box->AttachList(MakeStrings<tStringCollection>(items));
        box->FocusAt(1);
        tMemoryStream out;
        Put(out, &group);
        FreeObject(box->List);
        return out.Bytes();
    }
};

// Catches the collection, its texts, the focus or the bar lost on the way through a stream.
TEST_F(ListBoxStreamTest, RoundTrip) {
    std::vector<std::uint8_t> bytes = StoredGroup({"alpha", "beta", "gamma"});
    tMemoryStream in(bytes);
    tObjectPtr<tSObject> loaded(Get(in));
    auto* group = dynamic_cast<tGroup*>(loaded.get());
    ASSERT_NE(group, nullptr);
    auto* box = dynamic_cast<tSortedListBox*>(group->FirstView());
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->StoreID(), 53);
    ASSERT_NE(box->List, nullptr);
    EXPECT_EQ(box->ItemCount, 3);
    EXPECT_EQ(box->FocusedItem, 1);
    EXPECT_EQ(box->ItemText(2, 10), "gamma");
    EXPECT_NE(box->VBar, nullptr) << "the bar reference is resolved";
    EXPECT_EQ(box->SearchPos, 0);
    TEventRec key = Char('g');
    box->HandleEvent(key);
    EXPECT_EQ(box->FocusedItem, 2) << "the loaded collection is searched";
    tListBoxRecord record;
    box->ExportData(&record);
    Owned.emplace_back(record.List);
    loaded.reset();
    EXPECT_EQ(record.List->Count, 3) << "a collection handed out is the caller's, not freed";

    tListBox plain(MakeRect(0, 0, 10, 3), 1, nullptr);
    tMemoryStream out;
    Put(out, &plain);
    tMemoryStream back(out.Bytes());
    tObjectPtr<tSObject> empty(Get(back));
    auto* emptyBox = dynamic_cast<tListBox*>(empty.get());
    ASSERT_NE(emptyBox, nullptr);
    EXPECT_EQ(emptyBox->List, nullptr) << "a box without a list is stored with a null object";
}

// Catches a damaged stream answering a box (or faulting): every truncation, and a record
// whose collection place holds some other object.
TEST_F(ListBoxStreamTest, DamagedRecords) {
    std::vector<std::uint8_t> bytes = StoredGroup({"alpha", "beta"});
    for (std::size_t cut = 8; cut < bytes.size(); cut += 5) {
        std::vector<std::uint8_t> damaged(bytes.begin(), bytes.begin() + std::ptrdiff_t(cut));
        tMemoryStream in(damaged);
        tObjectPtr<tSObject> loaded(Get(in));
        EXPECT_EQ(loaded, nullptr) << "truncated at " << cut;
        EXPECT_NE(in.Status, stOk) << "truncated at " << cut;
        ClearError();
    }

    // A list box record whose collection place holds another kind of object: a probe class
    // stores one, and its name in the stream is then changed to the list box's.
    RegisterProbe();
    tListBoxProbe probe;
    tMemoryStream out;
    Put(out, &probe);
    std::vector<std::uint8_t> stored = out.Bytes();
    const std::string probeName = "tListBo2";
    auto at = std::search(stored.begin(), stored.end(), probeName.begin(), probeName.end());
    ASSERT_NE(at, stored.end());
    const std::string realName = "tListBox";
    std::copy(realName.begin(), realName.end(), at);
    tMemoryStream in(stored);
    tObjectPtr<tSObject> loaded(Get(in));
    EXPECT_EQ(loaded, nullptr) << "a list box whose collection is not one is refused";
    EXPECT_NE(in.Status, stOk);
    ClearError();
}

} // namespace
} // namespace zarvo
