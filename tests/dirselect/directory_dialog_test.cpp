// The directory dialog: its screen opened at a deep path, Backspace and the tree commands,
// the root that cannot be chosen, the local menu, ChooseDirectory with its path and the real
// bytes of names CP866 cannot show, path expansion, and making a directory (good, bad,
// existing and too long names, a read-only parent).
#include "dirselect/directory_dialog.h"

#include <sys/mount.h>
#include <unistd.h>

#include "console/key_codes.h"
#include "dirselect/new_directory.h"
#include "library/object_stream.h"
#include "library/object_stream_buffer.h"
#include "library/stream_class.h"
#include "platform/cp866.h"
#include "platform/file_names.h"
#include "tests/dirselect/dirselect_test_support.h"
#include "views/button.h"
#include "views/window.h"

namespace zarvo {
namespace {

using namespace testing_dirselect;
namespace fs = std::filesystem;

tFakeTree SampleTree() {
    return {{"/", {"home", "srv"}}, {"/home/", {"ivan"}},
            {"/home/ivan/", {}},    {"/srv/", {"Data", "DATA", "backup", "日本"}},
            {"/srv/Data/", {}},     {"/srv/DATA/", {}},
            {"/srv/backup/", {}},   {"/srv/日本/", {}}};
}

// The dialog over the made-up tree, centred on the screen: the viewer's cells start at (12, 5).
class DirectoryDialogTest : public tDirectoryScreen {
  protected:
    void SetUp() override {
        tDirectoryScreen::SetUp();
        WriteText(MountsFile, "/dev/sda1 / ext4 rw 0 0\n"
                              "user@host:/export /mnt/ssh fuse.sshfs rw 0 0\n");
        DirectorySettings().Scanner = FakeScanner(SampleTree());
    }
    TDirectoryDialog* Open(std::string_view path) {
        auto* dialog = new TDirectoryDialog();
        dialog->Runner = Root;
        Root->InsertView(dialog);
        dialog->SelectPath(path);
        dialog->Viewer->Repaint();
        return dialog;
    }
    void Command(TDirectoryDialog* dialog, std::uint16_t command) {
        TEventRec event = Message(evtCommand, command);
        dialog->HandleEvent(event);
    }
    // The viewer's first ROWS rows without their trailing blanks.
    std::vector<std::string> Tree(int rows) {
        std::vector<std::string> lines = Block(12, 5, 44, rows);
        for (std::string& line : lines)
            line.erase(line.find_last_not_of(' ') + 1);
        return lines;
    }
};

using Rows = std::vector<std::string>;

// Catches the tree drawn with the wrong marks or order, the path's nodes left closed, the
// focus elsewhere than the deepest existing directory, or the layout off.
TEST_F(DirectoryDialogTest, OpensAtADeepPath) {
    TDirectoryDialog* dialog = Open("/srv/Data/missing");
    EXPECT_EQ(Tree(10), (Rows{"─Устройства", " ├[─] /", " │  ├[+] home", " │  └[─] srv",
                              " │     ├[─] ??", " │     ├[─] backup", " │     ├[─] DATA",
                              " │     └[─] Data", " └[+] /mnt/ssh (user@host:/export)", ""}));
    EXPECT_EQ(dialog->FocusedPath(), "/srv/Data/");
    EXPECT_EQ(dialog->Viewer->FocusedLine, 7);
    EXPECT_NE(Row(3).find("Выбор каталога"), std::string::npos) << "the title";
    EXPECT_NE(Row(5).find("Выбрать"), std::string::npos) << "the first button beside the tree";
    EXPECT_TRUE(dialog->Valid(0));
}

// Catches Backspace not going to the parent (or leaving the root), the tree commands not
// reaching the focused node, and the root chosen.
TEST_F(DirectoryDialogTest, BackspaceCommandsAndTheRoot) {
    TDirectoryDialog* dialog = Open("/srv/Data");
    TEventRec back = Key(kKeyBackspace);
    dialog->Viewer->HandleEvent(back);
    EXPECT_EQ(dialog->FocusedPath(), "/srv/");
    Command(dialog, cmdDirectoryCollapse);
    EXPECT_EQ(Cells(8, 12, 12), " │  └[+] srv") << "collapsed";
    Command(dialog, cmdDirectoryExpand);
    EXPECT_EQ(dialog->Viewer->LimitY, 9);
    Command(dialog, 12350);
    EXPECT_EQ(dialog->FocusedPath(), "/");
    dialog->Viewer->HandleEvent(back = Key(kKeyBackspace));
    EXPECT_EQ(dialog->Viewer->FocusedLine, 0);
    dialog->Viewer->HandleEvent(back = Key(kKeyBackspace));
    EXPECT_EQ(dialog->Viewer->FocusedLine, 0) << "the root has no parent";
    TEventRec ok = Message(evtCommand, cmdOk);
    dialog->HandleEvent(ok);
    EXPECT_EQ(ok.what, evtNothing) << "cmdOk on the root is taken and ignored";
    dialog->Viewer->MoveFocus(1);
    Command(dialog, cmdDirectoryExpandAll);
    EXPECT_TRUE(dialog->Viewer->Computer->FindChild("/")->FindChild("home")->IsExpanded());
}

// Catches the local menu not opening by Alt+F10 or the right button, or its choice not
// arriving as a command.
TEST_F(DirectoryDialogTest, LocalMenu) {
    TDirectoryDialog* dialog = Open("/srv");
    Script({Key(kKeyEnter)});
    TEventRec key = Key(kKeyAltF10);
    dialog->HandleEvent(key);
    EXPECT_EQ(key.what, evtNothing);
    ASSERT_FALSE(Root->History.empty());
    EXPECT_EQ(Root->History.back().message.command, cmdDirectoryCollapse) << "the first item";
    Root->Posted.clear();
    Script({Key(kKeyDown), Key(kKeyDown), Key(kKeyDown), Key(kKeyEnter)});
    TEventRec click = Mouse(evtMouseDown, 20, 8);
    click.mouse.buttons = mbRightButton;
    dialog->HandleEvent(click);
    EXPECT_EQ(Root->History.back().message.command, 12350) << "the fourth item: the parent";
}

// Catches the chosen path not handed back (with its final "/"), a cancel changing it, and a
// name CP866 cannot show handed back under its "?" form.
TEST_F(DirectoryDialogTest, ChooseDirectory) {
    std::string path = "/srv/Data";
    Script({Key(kKeyEnter)});
    EXPECT_TRUE(ChooseDirectory(path, Root));
    EXPECT_EQ(path, "/srv/Data/");
    Script({Key(kKeyEsc)});
    EXPECT_FALSE(ChooseDirectory(path, Root));
    EXPECT_EQ(path, "/srv/Data/") << "a cancel leaves the text";

    // "??" is the first line below /srv once it is open.
    path = "/srv/";
    Script({Key('+'), Key(kKeyDown), Key(kKeyEnter), Key(kKeyEsc)});
    EXPECT_FALSE(ChooseDirectory(path, Root)) << "without the real bytes it is refused";
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_EQ(path, "/srv/");
    std::string osPath;
    Script({Key('+'), Key(kKeyDown), Key(kKeyEnter)});
    EXPECT_TRUE(ChooseDirectory(path, Root, &osPath));
    EXPECT_EQ(path, "/srv/?"
                    "?/");
    EXPECT_EQ(osPath, "/srv/日本/");
}

// Catches Tab and Shift+Tab walking the dialog against the order it is shown in: from the
// tree down the buttons and round again.
TEST_F(DirectoryDialogTest, TabFollowsTheLayout) {
    TDirectoryDialog* dialog = Open("/srv");
    auto focused = [&]() -> std::string {
        if (dialog->CurrentView == dialog->Viewer)
            return "tree";
        auto* button = dynamic_cast<tButton*>(dialog->CurrentView);
        return button != nullptr ? Cp866ToUtf8(button->Title) : "?";
    };
    const std::vector<std::string> order = {"tree",       "~В~ыбрать", "~О~тмена", "~С~оздать",
                                            "Об~н~овить", "Помощь",    "tree"};
    for (std::size_t i = 1; i < order.size(); ++i) {
        Command(dialog, cmdNextControl);
        EXPECT_EQ(focused(), order[i]) << "Tab number " << i;
    }
    for (std::size_t i = order.size() - 1; i-- > 0;) {
        Command(dialog, cmdPrevControl);
        EXPECT_EQ(focused(), order[i]) << "Shift+Tab back to " << order[i];
    }
}

// Catches a directory whose path is longer than the callers' 250 characters handed back to be
// cut, and so to name another directory: it is refused with its reason and the text stays.
TEST_F(DirectoryDialogTest, PathOverTheLimitIsRefused) {
    const std::string a(100, 'a'), b(100, 'b'), c(60, 'c');
    DirectorySettings().Scanner = FakeScanner({{"/", {"srv"}},
                                               {"/srv/", {a}},
                                               {"/srv/" + a + "/", {b}},
                                               {"/srv/" + a + "/" + b + "/", {c}},
                                               {"/srv/" + a + "/" + b + "/" + c + "/", {}}});
    const std::string deep = "/srv/" + a + "/" + b + "/" + c;
    std::string path = deep;
    Script({Key(kKeyEnter), Key(kKeyEsc)});
    EXPECT_FALSE(ChooseDirectory(path, Root));
    ASSERT_EQ(Messages().size(), 1u) << "expected the reason";
    EXPECT_NE(Cp866ToUtf8(Messages()[0]).find("длиннее 250 символов"), std::string::npos)
        << Cp866ToUtf8(Messages()[0]);
    EXPECT_EQ(path, deep);
    // Its parent, within the limit, is still chosen.
    path = "/srv/" + a + "/" + b;
    Script({Key(kKeyEnter)});
    EXPECT_TRUE(ChooseDirectory(path, Root));
    EXPECT_EQ(path, "/srv/" + a + "/" + b + "/");
}

// Catches the dialog missing from the stream registry, and its tree (whose viewer class is
// not registered) crashing a store instead of ending it with a stream error.
TEST_F(DirectoryDialogTest, StoredAsAWindow) {
    RegisterViewStreamClasses();
    RegisterWindowStreamClasses();
    RegisterDialogStreamClasses();
    RegisterDirectoryStreamClasses();
    TDirectoryDialog* dialog = Open("/srv");
    EXPECT_EQ(dialog->StoreID(), 10000);
    const tStreamClass* registered = FindStreamClassOf(*dialog);
    ASSERT_NE(registered, nullptr);
    tMemoryStream out;
    Put(out, dialog);
    EXPECT_NE(out.Status, stOk) << "the tree cannot be stored";
    tMemoryStream in(out.Bytes());
    tObjectPtr<tSObject> loaded(Get(in));
    EXPECT_EQ(loaded, nullptr) << "and nothing is read back from what was written";
}

// Catches relative paths, "." and ".." or an empty path not made full.
TEST(DirectoryPath, Expansion) {
    std::string cwd = FromOsPath(fs::current_path().string());
    struct tCase {
        std::string In, Out;
    } cases[] = {
        {"", cwd},
        {".", cwd},
        {"/a/b/../c/./d/", "/a/c/d"},
        {"/../..", "/"},
        {"//srv//x", "/srv/x"},
        {"sub/dir", cwd == "/" ? "/sub/dir" : cwd + "/sub/dir"},
    };
    for (const tCase& c : cases)
        EXPECT_EQ(ExpandDirectoryPath(c.In), c.Out) << "'" << c.In << "'";
}

// Catches unsafe or impossible names accepted and good ones refused.
TEST(NewDirectoryName, Checks) {
    std::string parent = "/srv/";
    struct tCase {
        std::string Parent, Name;
        bool Accepted;
    } cases[] = {
        {parent, "new", true},
        {parent, std::string("Новый каталог"_oem), true},
        {"/s/", std::string(247, 'n'), true},
        {"/s/", std::string(248, 'n'), false},
        {parent, "", false},
        {parent, ".", false},
        {parent, "..", false},
        {parent, "a/b", false},
        {parent, std::string("a\0b", 3), false},
        {parent, std::string(256, 'n'), false},
        {parent, std::string(128, "ж"_oem[0]), false}, // 256 bytes on disk
        {std::string(240, 'p') + "/", "123456789", true},
        {std::string(240, 'p') + "/", "1234567890", false},
    };
    for (const tCase& c : cases)
        EXPECT_EQ(NewDirectoryNameError(c.Parent, c.Name).empty(), c.Accepted)
            << c.Name.size() << " characters in a path of " << c.Parent.size();
}

// The dialog over real directories below a scratch directory.
class NewDirectoryTest : public tDirectoryScreen {
  protected:
    void SetUp() override {
        tDirectoryScreen::SetUp();
        Top = Scratch.Path() / "top";
        fs::create_directories(Top / "Existing");
        Dialog = new TDirectoryDialog();
        Dialog->Runner = Root;
        Root->InsertView(Dialog);
        Dialog->SelectPath(FromOsPath(Top.string()));
    }
    std::vector<std::string> Entries(const fs::path& dir) {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
    void Create() {
        TEventRec event = Message(evtCommand, cmdDirectoryCreate);
        Dialog->HandleEvent(event);
        EXPECT_EQ(event.what, evtNothing);
    }

    fs::path Top;
    TDirectoryDialog* Dialog = nullptr;
};

// Catches the name upper-cased or changed, the new directory not shown and focused, or a
// dialog left behind.
TEST_F(NewDirectoryTest, MakesTheNameAsTyped) {
    TypeText("Новый каталог"_oem);
    Script({Key(kKeyEnter)});
    Create();
    EXPECT_EQ(Entries(Top), (std::vector<std::string>{"Existing", "Новый каталог"}));
    EXPECT_TRUE(Messages().empty());
    EXPECT_EQ(Dialog->FocusedOsPath(), (Top / "Новый каталог").string() + "/");
    EXPECT_EQ(Root->Script.size(), 0u);
}

// Catches bad names and existing ones made or passed silently, and the small dialog closing
// after a refusal.
TEST_F(NewDirectoryTest, RefusesBadAndExistingNames) {
    for (std::string_view name : {"..", "a/b", "Existing"}) {
        TypeText(name);
        Script({Key(kKeyEnter)});
    }
    Script({Key(kKeyEsc)});
    Create();
    ASSERT_EQ(Messages().size(), 3u);
    for (const std::string& text : Messages())
        EXPECT_TRUE(text.starts_with("Ошибка при создании каталога!"_oem)) << text;
    EXPECT_NE(Messages()[0].find("Недопустимое имя"_oem), std::string::npos);
    EXPECT_NE(Messages()[2].find("существует"_oem), std::string::npos) << Messages()[2];
    EXPECT_EQ(Entries(Top), (std::vector<std::string>{"Existing"}));
    EXPECT_EQ(Dialog->FocusedOsPath(), Top.string() + "/") << "the focus stays";
}

// Catches a read-only parent's failure reported as success.
TEST_F(NewDirectoryTest, ReadOnlyParent) {
    std::string top = Top.string();
    bool mounted = false;
    if (geteuid() == 0) {
        if (mount("zarvo-test", top.c_str(), "tmpfs", MS_RDONLY, "size=64k") != 0)
            GTEST_SKIP() << "needs a read-only tmpfs mount";
        mounted = true;
    } else {
        fs::permissions(Top, fs::perms::owner_read | fs::perms::owner_exec);
    }
    TypeText("new");
    Script({Key(kKeyEnter), Key(kKeyEsc)});
    Create();
    if (mounted)
        umount2(top.c_str(), MNT_DETACH);
    else
        fs::permissions(Top, fs::perms::owner_all);
    ASSERT_EQ(Messages().size(), 1u) << "the failure is shown";
    EXPECT_FALSE(fs::exists(Top / "new"));
}

// Catches the root, where nothing can be made, opening the small dialog.
TEST_F(NewDirectoryTest, NotOnTheRoot) {
    Dialog->Viewer->MoveFocus(0);
    Script({Key('x'), Key(kKeyEnter)});
    Create();
    EXPECT_EQ(Root->Script.size(), 2u) << "no dialog ran";
}

} // namespace
} // namespace zarvo
