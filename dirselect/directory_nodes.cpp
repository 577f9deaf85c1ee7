// The directory tree: expanding, refreshing from the mount table and from directory
// listings, finding a path, and the order of the children.
#include "dirselect/directory_nodes.h"

#include <algorithm>
#include <unordered_map>

#include "library/paths.h"
#include "library/strings.h"
#include "platform/cp866.h"
#include "platform/file_names.h"
#include "platform/whole_file.h"

namespace zarvo {

namespace {

// Network file systems in user space that the mount table names by their FUSE helper.
constexpr std::string_view kFuseShares[] = {"fuse.rclone",    "fuse.s3fs",     "fuse.davfs2",
                                            "fuse.curlftpfs", "fuse.smbnetfs", "fuse.gcsfuse",
                                            "fuse.juicefs",   "fuse.goofys",   "davfs"};

bool IsShare(std::string_view fsType) {
    return IsNetworkFileSystem(fsType) || std::find(std::begin(kFuseShares), std::end(kFuseShares),
                                                    fsType) != std::end(kFuseShares);
}

// The mount points offered as drives: the root, then shares and removable media in mount
// order, each once.
std::vector<const tMountEntry*> DriveMounts(const std::vector<tMountEntry>& mounts) {
    std::vector<const tMountEntry*> drives;
    std::vector<std::string> points = DriveMountPoints(mounts);
    for (const tMountEntry& mount : mounts)
        if (IsShare(mount.FsType) &&
            std::find(points.begin(), points.end(), mount.MountPoint) == points.end())
            points.push_back(mount.MountPoint);
    for (const std::string& point : points) {
        const tMountEntry* found = nullptr;
        for (const tMountEntry& mount : mounts)
            if (mount.MountPoint == point)
                found = &mount; // the last mount on a point hides the earlier ones
        drives.push_back(found);
    }
    return drives;
}

} // namespace

tDirectorySettings& DirectorySettings() {
    static tDirectorySettings settings;
    return settings;
}

// ---- TDirectoryCollection

TDirectoryCollection::TDirectoryCollection() : tSortedCollection(5, 5) {}

int TDirectoryCollection::Compare(const void* key1, const void* key2) {
    auto* a = static_cast<const TAbstractNode*>(key1);
    auto* b = static_cast<const TAbstractNode*>(key2);
    if (int c = CompareText(RemoveBackslash(a->Name), RemoveBackslash(b->Name)); c != 0)
        return c;
    if (int c = a->Name.compare(b->Name); c != 0)
        return c;
    return a->OsName.compare(b->OsName);
}

bool TDirectoryCollection::SearchName(std::string_view name, std::int16_t& index) {
    auto before = [&](int i) {
        const std::string& other = NodeAt(i)->Name;
        int c = CompareText(RemoveBackslash(other), RemoveBackslash(name));
        return c < 0 || (c == 0 && std::string_view(other) < name);
    };
    int low = 0;
    int high = Count;
    while (low < high) {
        int middle = (low + high) / 2;
        if (before(middle))
            low = middle + 1;
        else
            high = middle;
    }
    index = std::int16_t(low);
    return low < Count && NodeAt(low)->Name == name;
}

// ---- TAbstractNode

TAbstractNode::TAbstractNode(std::string_view name, std::string_view osName, TAbstractNode* parent,
                             std::shared_ptr<tDirectoryContext> context)
    : Children(std::make_unique<TDirectoryCollection>()), Parent(parent),
      Name(RemoveBackslash(name)), OsName(RemoveBackslash(osName)), Context(std::move(context)) {}

TAbstractNode::~TAbstractNode() = default;

void TAbstractNode::SetExpanded(bool on) {
    if (on == Expanded)
        return;
    Expanded = on && FullPath().size() < kMaxDirectoryPath;
    // Every expansion looks again, so children that vanished while the node was closed go.
    if (Expanded)
        Refresh();
}

std::int16_t TAbstractNode::ChildCount() {
    return Children->Count;
}

TAbstractNode* TAbstractNode::ChildAt(int index) {
    return Children->NodeAt(index);
}

std::string TAbstractNode::NodeName() {
    return Name;
}

bool TAbstractNode::IsExpanded() {
    return Expanded;
}

bool TAbstractNode::HasSubdirectories() {
    return HasSubdirs;
}

void TAbstractNode::Refresh() {
    for (int i = 0; i < Children->Count; ++i)
        ChildAt(i)->Refresh();
}

TAbstractNode* TAbstractNode::FindChild(std::string_view name) {
    std::int16_t index = 0;
    return Children->SearchName(name, index) ? ChildAt(index) : nullptr;
}

TAbstractNode* TAbstractNode::FindPath(std::string_view path) {
    std::size_t slash = path.find('/');
    std::string_view word = path.substr(0, slash);
    std::string_view rest = slash == std::string_view::npos ? "" : path.substr(slash + 1);
    bool wasExpanded = Expanded;
    SetExpanded(true);
    if (!word.empty())
        if (TAbstractNode* child = FindChild(word))
            return child->FindPath(rest);
    if (!wasExpanded)
        SetExpanded(false);
    return this;
}

bool TAbstractNode::Valid(std::uint16_t command) {
    if (!tSObject::Valid(command))
        return false;
    if (command != 0)
        return true;
    if (Children == nullptr)
        return false;
    for (int i = 0; i < Children->Count; ++i)
        if (!ChildAt(i)->Valid(0))
            return false;
    return true;
}

// ---- TComputer

TComputer::TComputer(const tDirectorySettings& settings)
    : TAbstractNode("Устройства"_oem, "", nullptr, std::make_shared<tDirectoryContext>()) {
    Context->Settings = settings;
}

std::string TComputer::FullPath() {
    return "";
}

std::string TComputer::FullOsPath() {
    return "";
}

void TComputer::ReadDrives() {
    tWholeFile table = ReadWholeFile(Context->Settings.MountsFile);
    Context->Mounts = ParseMountTable(table.Text);
    Context->MountPoints.clear();
    for (const tMountEntry& mount : Context->Mounts)
        Context->MountPoints.insert(mount.MountPoint);
}

void TComputer::Refresh() {
    ReadDrives();
    std::vector<const tMountEntry*> drives = DriveMounts(Context->Mounts);
    std::vector<std::string> points;
    for (std::size_t i = 0; i < drives.size(); ++i)
        points.push_back(drives[i] != nullptr ? drives[i]->MountPoint : std::string("/"));
    // Drives whose mount is gone leave the tree.
    for (int i = Children->Count - 1; i >= 0; --i)
        if (std::find(points.begin(), points.end(), ChildAt(i)->OsName) == points.end())
            Children->FreeAt(std::int16_t(i));
    for (std::size_t i = 0; i < drives.size(); ++i) {
        std::string name = FromOsPath(points[i]);
        auto* drive = dynamic_cast<TDrive*>(FindChild(name));
        if (drive == nullptr) {
            drive = new TDrive(name, points[i], this, Context);
            Children->Insert(drive);
        }
        drive->ShareSource.clear();
        if (drives[i] != nullptr && IsShare(drives[i]->FsType))
            drive->ShareSource = FromOsPath(drives[i]->Source);
    }
    TAbstractNode::Refresh();
}

TAbstractNode* TComputer::FindPath(std::string_view path) {
    bool wasExpanded = Expanded;
    SetExpanded(true);
    // The drive with the longest mount point holding the path.
    TAbstractNode* best = nullptr;
    for (int i = 0; i < Children->Count; ++i) {
        const std::string& point = ChildAt(i)->Name;
        bool holds = point == "/" ? path.starts_with('/')
                                  : path.starts_with(point) &&
                                        (path.size() == point.size() || path[point.size()] == '/');
        if (holds && (best == nullptr || point.size() > best->Name.size()))
            best = ChildAt(i);
    }
    if (best == nullptr) {
        if (!wasExpanded)
            SetExpanded(false);
        return this;
    }
    std::string_view rest = path.substr(std::min(path.size(), best->Name.size()));
    while (rest.starts_with('/'))
        rest.remove_prefix(1);
    return best->FindPath(rest);
}

// ---- TDrive

TDrive::TDrive(std::string_view name, std::string_view osName, TAbstractNode* parent,
               std::shared_ptr<tDirectoryContext> context)
    : TAbstractNode(name, osName, parent, std::move(context)) {}

bool TDrive::IsDrive() const {
    return dynamic_cast<const TComputer*>(Parent) != nullptr;
}

std::string TDrive::FullPath() {
    return (Parent != nullptr ? Parent->FullPath() : std::string()) + AddBackslash(Name);
}

std::string TDrive::FullOsPath() {
    std::string parent = Parent != nullptr ? Parent->FullOsPath() : std::string();
    return parent + (OsName.ends_with('/') ? OsName : OsName + "/");
}

std::string TDrive::NodeName() {
    std::string text = Name;
    if (!ShareSource.empty())
        text += " (" + ShareSource + ")";
    if (State == tNodeState::Unreadable)
        text += " (нет доступа)"_oem;
    else if (State == tNodeState::NotAnswering)
        text += " (не отвечает)"_oem;
    return text;
}

void TDrive::Refresh() {
    // A drive that is not expanded is not looked at: a share that hangs stays out of the way
    // until the operator opens it.
    if (IsDrive() && !Expanded) {
        HasSubdirs = true;
        return;
    }
    const tDirectorySettings& settings = Context->Settings;
    tDirectoryScan scan = ScanDirectory(settings.Scanner, FullOsPath(), Expanded,
                                        Context->MountPoints, settings.TimeoutMs);
    State = scan.Status == tScanStatus::Read         ? tNodeState::Read
            : scan.Status == tScanStatus::Unreadable ? tNodeState::Unreadable
                                                     : tNodeState::NotAnswering;
    if (scan.Status == tScanStatus::NotAnswering)
        return;
    if (!IsDrive())
        HasSubdirs = !scan.Dirs.empty() || scan.Status == tScanStatus::Unreadable;
    if (Expanded)
        TakeListing(scan);
}

void TDrive::TakeListing(const tDirectoryScan& scan) {
    // What could not be read stays as it was; only a complete listing removes children.
    if (scan.Status == tScanStatus::Read)
        for (int i = Children->Count - 1; i >= 0; --i) {
            const std::string& osName = ChildAt(i)->OsName;
            if (std::none_of(scan.Dirs.begin(), scan.Dirs.end(),
                             [&](const tScannedDir& dir) { return dir.OsName == osName; }))
                Children->FreeAt(std::int16_t(i));
        }
    std::unordered_map<std::string, TAbstractNode*> known;
    for (int i = 0; i < Children->Count; ++i)
        known[ChildAt(i)->OsName] = ChildAt(i);
    for (const tScannedDir& dir : scan.Dirs) {
        TAbstractNode* child = known.contains(dir.OsName) ? known[dir.OsName] : nullptr;
        if (child == nullptr) {
            // A collection holds so many items at most; the rest of a larger directory is
            // left out rather than overflowing it.
            if (Children->Count >= kMaxCollectionSize)
                continue;
            child = new TDrive(FromOsPath(dir.OsName), dir.OsName, this, Context);
            if (!Children->Insert(child)) {
                FreeObject(child);
                continue;
            }
        }
        if (child->Expanded)
            child->Refresh();
        else
            child->HasSubdirs = dir.Subdirs != tSubdirs::No;
    }
}

} // namespace zarvo
