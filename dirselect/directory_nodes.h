// The directory tree behind the directory dialog: the root of the "drives" (the file system's
// root and the mounted shares and media), the drives and their directories, each node
// knowing its children, whether it may have subdirectories and whether it is expanded.
#pragma once

#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "dirselect/directory_scan.h"
#include "library/collection_sorted.h"
#include "library/sobject.h"
#include "platform/mounts.h"

namespace zarvo {

// A node whose full path has this many characters or more is not expanded, and a new
// directory's path may not be longer: every path must stay a short string.
inline constexpr std::size_t kMaxDirectoryPath = 250;

// Where the tree reads its drives from and how long it waits for a file system.
struct tDirectorySettings {
    std::string MountsFile = "/proc/self/mounts"; // as the OS takes it
    std::uint32_t TimeoutMs = 4000;
    tDirectoryScanner Scanner = ScanFileSystem;
};

// The settings new trees start with (tests point them elsewhere).
tDirectorySettings& DirectorySettings();

// What one tree shares among its nodes: its settings and the mount table last read.
struct tDirectoryContext {
    tDirectorySettings Settings;
    std::vector<tMountEntry> Mounts;
    std::set<std::string> MountPoints;
};

// How the last look at a node's directory went.
enum class tNodeState { Unknown, Read, Unreadable, NotAnswering };

class TDirectoryCollection;

class TAbstractNode : public tSObject {
  public:
    // NAME is CP866; OSNAME the name's real bytes.
    TAbstractNode(std::string_view name, std::string_view osName, TAbstractNode* parent,
                  std::shared_ptr<tDirectoryContext> context);
    ~TAbstractNode() override;

    // ---- virtual operations, in their fixed order
    virtual void SetExpanded(bool on);
    virtual std::int16_t ChildCount();
    virtual TAbstractNode* ChildAt(int index);
    // CP866, ending with "/"; empty for the root.
    virtual std::string FullPath() = 0;
    // The text the tree shows: the name, for drives the share's source, and a mark when the
    // directory could not be read.
    virtual std::string NodeName();
    virtual bool IsExpanded();
    virtual bool HasSubdirectories();
    virtual void Refresh();
    // ---- added: the full path in the real bytes of every name, ending with "/"
    virtual std::string FullOsPath() = 0;

    // The deepest existing node on PATH (CP866, relative to this node, without a final
    // "/"); every node on the way stays expanded, the last only if it was before.
    virtual TAbstractNode* FindPath(std::string_view path);
    // The child with this CP866 name, or null.
    TAbstractNode* FindChild(std::string_view name);
    bool Valid(std::uint16_t command) override;

    // ---- fields
    std::unique_ptr<TDirectoryCollection> Children;
    bool HasSubdirs = true;
    TAbstractNode* Parent = nullptr;
    bool Expanded = false;
    std::string Name;   // CP866; characters CP866 lacks show as "?"
    std::string OsName; // the real bytes: every file system call uses these
    tNodeState State = tNodeState::Unknown;

  protected:
    std::shared_ptr<tDirectoryContext> Context;
};

// The root: "Устройства", with the drives below it.
class TComputer : public TAbstractNode {
  public:
    explicit TComputer(const tDirectorySettings& settings = DirectorySettings());

    std::string FullPath() override;
    std::string FullOsPath() override;
    // Reads the mount table again: new drives are added, vanished ones removed; then the
    // drives are refreshed (only expanded ones look at their file systems).
    void Refresh() override;
    // PATH is absolute: its drive is the one with the longest mount point that holds it.
    TAbstractNode* FindPath(std::string_view path) override;

  private:
    void ReadDrives();
};

// A drive (a mount point) or a directory.
class TDrive : public TAbstractNode {
  public:
    TDrive(std::string_view name, std::string_view osName, TAbstractNode* parent,
           std::shared_ptr<tDirectoryContext> context);

    std::string FullPath() override;
    std::string FullOsPath() override;
    std::string NodeName() override;
    void Refresh() override;

    bool IsDrive() const;
    // For a drive on a network share: the share's source ("//server/share"); else empty.
    std::string ShareSource;

  private:
    void TakeListing(const tDirectoryScan& scan);
};

// Nodes sorted by name: letter case ignored first, then byte by byte, so names that differ
// only in case are both kept; names alike in CP866 are told apart by their real bytes.
class TDirectoryCollection : public tSortedCollection {
  public:
    TDirectoryCollection();
    ~TDirectoryCollection() override { FreeAll(); }

    int Compare(const void* key1, const void* key2) override;
    // The first node whose CP866 name is NAME; false with the insertion point otherwise.
    bool SearchName(std::string_view name, std::int16_t& index);
    TAbstractNode* NodeAt(int index) {
        return static_cast<TAbstractNode*>(ItemAt(std::int16_t(index)));
    }

  protected:
    bool ItemValid(void*) override { return true; }
};

} // namespace zarvo
