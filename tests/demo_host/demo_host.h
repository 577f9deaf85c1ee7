// What the views and dialogs demos share around their own screens: the host options, the
// choice of host, the run thread beside the host loop and the orderly end the checks look for.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "console/host_choice.h"

namespace zarvo::demo {

struct tDemoHostOptions {
    tHostPreference Preference = tHostPreference::Auto;
    std::string Settings;
};

// Takes --host=window|terminal|auto and --settings=FILE; false for any other argument.
bool ParseDemoHostOption(std::string_view arg, tDemoHostOptions& options);

// Runs RUN on a thread of its own while the chosen host shows the console (the window titled
// TITLE, CP866); writes "NAME: ended" on an orderly end. Answers the exit code.
int RunDemoInHost(const tDemoHostOptions& options, std::string_view title, const char* name,
                  const std::function<void()>& run);

} // namespace zarvo::demo
