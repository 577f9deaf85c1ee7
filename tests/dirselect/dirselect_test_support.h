// What the directory tests share: a mounts file of their own, a scanner serving a made-up
// tree so screens do not depend on the machine, and an 80 x 25 screen whose root hands back
// what views post, with the message boxes recorded instead of shown.
#pragma once

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "dirselect/directory_nodes.h"
#include "support/temp_dir.h"
#include "tests/views/support/scripted_screen.h"
#include "views/message_box_call.h"

namespace zarvo::testing_dirselect {

using namespace testing_screens;

// Directories by full path (ending with "/") and their subdirectory names; a path not listed
// cannot be read.
using tFakeTree = std::map<std::string, std::vector<std::string>>;

inline tDirectoryScanner FakeScanner(tFakeTree made) {
    auto tree = std::make_shared<const tFakeTree>(std::move(made));
    return [tree](const std::string& path, bool probe, const std::set<std::string>&,
                  tScanState& state) {
        std::lock_guard lock(state.Lock);
        state.Listed = true;
        auto at = tree->find(path);
        if (at == tree->end()) {
            state.Result.Status = tScanStatus::Unreadable;
            state.Result.Error = ENOENT;
            return;
        }
        state.Result.Status = tScanStatus::Read;
        for (const std::string& name : at->second) {
            auto below = tree->find(path + name + "/");
            tSubdirs subdirs = !probe                                           ? tSubdirs::Unknown
                               : below != tree->end() && !below->second.empty() ? tSubdirs::Yes
                                                                                : tSubdirs::No;
            state.Result.Dirs.push_back({name, subdirs});
        }
    };
}

inline void WriteText(const std::filesystem::path& file, const std::string& text) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << text;
}

// The message boxes asked for, and the answer they get.
inline std::vector<std::string>& Messages() {
    static std::vector<std::string> messages;
    return messages;
}
inline std::uint16_t RecordMessage(std::string_view text, std::uint16_t, void*) {
    Messages().emplace_back(text);
    return cmdOk;
}

class tDirectoryScreen : public tScriptedScreen {
  protected:
    tDirectoryScreen() : tScriptedScreen(true) {}
    void SetUp() override {
        tScriptedScreen::SetUp();
        Messages().clear();
        m_OldHook = MessageBoxHook;
        MessageBoxHook = RecordMessage;
        MountsFile = Scratch.Path() / "mounts";
        WriteText(MountsFile, "/dev/sda1 / ext4 rw 0 0\n");
        DirectorySettings().MountsFile = MountsFile.string();
        DirectorySettings().TimeoutMs = 4000;
    }
    void TearDown() override {
        DirectorySettings() = tDirectorySettings();
        MessageBoxHook = m_OldHook;
        tScriptedScreen::TearDown();
    }
    void TypeText(std::string_view text) {
        for (char ch : text)
            Root->Script.push_back(Key(std::uint8_t(ch)));
    }

    zarvo::testing::tTempDir Scratch;
    std::filesystem::path MountsFile;

  private:
    tMessageBoxHook m_OldHook = nullptr;
};

} // namespace zarvo::testing_dirselect
