// TDirectoryDialog, where the operator picks a directory from the tree of drives and
// directories or makes a new one on the way; and ChooseDirectory, the call that opens it at a
// path and hands the chosen directory back.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "dirselect/directory_viewer.h"
#include "views/dialog.h"

namespace zarvo {

class tGroup;

// The dialog's own commands.
inline constexpr std::uint16_t cmdDirectoryCreate = 12345;
inline constexpr std::uint16_t cmdDirectoryRefresh = 12346;
inline constexpr std::uint16_t cmdDirectoryExpand = 12347;
inline constexpr std::uint16_t cmdDirectoryExpandAll = 12348;
inline constexpr std::uint16_t cmdDirectoryCollapse = 12349;
// Opens the local menu.
inline constexpr std::uint16_t cmdDirectoryMenu = 1512;

class TDirectoryDialog : public tDialog {
  public:
    // Builds the dialog over the drives of SETTINGS; not yet run.
    explicit TDirectoryDialog(const tDirectorySettings& settings = DirectorySettings());
    explicit TDirectoryDialog(tStreamLoad);

    std::uint16_t StoreID() const override; // 10000, stored as a window
    bool Valid(std::uint16_t command) override;
    void HandleEvent(TEventRec& event) override;

    // Focuses the node of PATH, made a full path first (relative to the current directory;
    // empty: the current directory itself).
    void SelectPath(std::string_view path);
    // The focused directory's full path (CP866, ending with "/"); empty for the root.
    std::string FocusedPath();
    // The same in the names' real bytes, for the file system.
    std::string FocusedOsPath();

    TDirectoryViewer* Viewer = nullptr;
    // Whoever runs the dialog can take the real bytes of a path CP866 cannot show. Without
    // that, such a directory is refused rather than handed back under its "?" form.
    bool TakesOsPath = false;
    // Where the dialog's own small dialogs run; null: the desktop, else the screen's root.
    tGroup* Runner = nullptr;

  private:
    void AddControls(const tDirectorySettings& settings);
    bool HandleCommand(std::uint16_t command);
    void OpenLocalMenu();
    void RefreshViewer();
    tGroup* SmallDialogRunner() const;
};

// The full path (CP866) of PATH: relative to the current directory, "." and ".." resolved
// without touching the file system; empty means the current directory.
std::string ExpandDirectoryPath(std::string_view path);

// Opens the directory dialog at PATH on HOST (null: the desktop). On a choice PATH becomes the
// chosen directory (CP866, ending with "/"), and OSPATH, when given, the same in the names'
// real bytes; a directory whose name CP866 cannot show can only be chosen with OSPATH given.
// False when the operator cancelled or the dialog could not be made.
bool ChooseDirectory(std::string& path, tGroup* host = nullptr, std::string* osPath = nullptr);

// Registers TDirectoryDialog (10000) with object streaming. Safe to call more than once.
void RegisterDirectoryStreamClasses();

} // namespace zarvo
