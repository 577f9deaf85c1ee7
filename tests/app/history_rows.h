// The history as its documented reader sees it: Python's csv module, through a script that
// checks every column's form and hands the rows back as JSON.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>
#include <string>

#include "support/child_process.h"

namespace zarvo::testing {

// The rows of WORK's history; a malformed file fails the test and answers no rows.
inline nlohmann::json HistoryRows(const std::filesystem::path& work) {
    std::string script = std::string(ZARVO_TEST_DIR) + "/support/check_history.py";
    tChildProcess reader({"/usr/bin/python3", script, (work / "zarvo-history.csv").string()},
                         work.string());
    reader.CloseInput();
    int status = reader.Wait(20'000);
    EXPECT_EQ(status, 0) << reader.Errors();
    if (status != 0)
        return nlohmann::json::array();
    return nlohmann::json::parse(reader.Output(), nullptr, false);
}

} // namespace zarvo::testing
