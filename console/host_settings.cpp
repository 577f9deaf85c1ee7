// Reading and writing the host's settings, with every value checked before it is used.
#include "console/host_settings.h"

#include <cstdio>

#include "console/ini_file.h"
#include "diagnostics/pending_error.h"
#include "library/startup_facts.h"
#include "platform/cp866.h"
#include "platform/format_text.h"

namespace zarvo {

std::array<std::uint32_t, 16> HostPalette = kDefaultHostPalette;

namespace {

constexpr std::string_view kSystem = "System";

struct tIntegerKey {
    std::string_view Key;
    std::int32_t tHostSettings::*Field;
    std::int32_t Min;
    std::int32_t Max;
};

constexpr tIntegerKey kIntegerKeys[] = {
    {"ScreenWidth", &tHostSettings::ScreenWidth, kMinScreenWidth, kMaxScreenWidth},
    {"ScreenHeight", &tHostSettings::ScreenHeight, kMinScreenHeight, kMaxScreenHeight},
    {"FontWidth", &tHostSettings::FontWidth, kMinFontSize, kMaxFontSize},
    {"FontHeight", &tHostSettings::FontHeight, kMinFontSize, kMaxFontSize},
    {"ScreenLeft", &tHostSettings::ScreenLeft, -32768, 32767},
    {"ScreenTop", &tHostSettings::ScreenTop, -32768, 32767},
    {"FontWeight", &tHostSettings::FontWeight, 0, 1000},
};

bool IsScreenSize(const tIntegerKey& entry) {
    return entry.Field == &tHostSettings::ScreenWidth ||
           entry.Field == &tHostSettings::ScreenHeight;
}

std::optional<std::int64_t> ParseInteger(std::string_view text) {
    bool negative = !text.empty() && text.front() == '-';
    if (negative || (!text.empty() && text.front() == '+'))
        text.remove_prefix(1);
    if (text.empty() || text.size() > 10)
        return std::nullopt;
    std::int64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return negative ? -value : value;
}

std::optional<std::uint32_t> ParseHex(std::string_view text) {
    if (text.empty() || text.size() > 8)
        return std::nullopt;
    std::uint32_t value = 0;
    for (char c : text) {
        int digit = c >= '0' && c <= '9'   ? c - '0'
                    : c >= 'A' && c <= 'F' ? c - 'A' + 10
                    : c >= 'a' && c <= 'f' ? c - 'a' + 10
                                           : -1;
        if (digit < 0)
            return std::nullopt;
        value = value * 16 + std::uint32_t(digit);
    }
    return value;
}

std::string Refusal(std::string_view section, std::string_view key, std::string_view value,
                    std::string_view kept) {
    return FormatText("Настройки [%s]: недопустимое значение %s=%s, взято %s."_oem,
                      {section, key, value, kept});
}

void ReadIntegers(const tIniFile& ini, tHostSettings& settings,
                  std::vector<std::string>& problems) {
    for (const tIntegerKey& entry : kIntegerKeys) {
        std::optional<std::string> text = ini.Read(kSystem, entry.Key);
        if (!text)
            continue;
        std::optional<std::int64_t> value = ParseInteger(*text);
        if (value && *value >= entry.Min && *value <= entry.Max) {
            settings.*entry.Field = std::int32_t(*value);
            if (IsScreenSize(entry))
                settings.ScreenSizeFromFile = true;
        } else
            problems.push_back(
                Refusal(kSystem, entry.Key, *text, std::to_string(settings.*entry.Field)));
    }
}

bool IsGoodFontName(std::string_view name) {
    if (name.empty() || name.size() > kMaxFontNameLength)
        return false;
    for (char c : name)
        if (std::uint8_t(c) < 0x20)
            return false;
    return true;
}

void ReadTexts(const tIniFile& ini, tHostSettings& settings, std::vector<std::string>& problems) {
    if (std::optional<std::string> name = ini.Read(kSystem, "FontName")) {
        if (IsGoodFontName(*name))
            settings.FontName = *name;
        else
            problems.push_back(Refusal(kSystem, "FontName", *name, settings.FontName));
    }
    if (std::optional<std::string> host = ini.Read(kSystem, "Host")) {
        std::string lower;
        for (char c : *host)
            lower += c >= 'A' && c <= 'Z' ? char(c + 32) : c;
        if (lower == "auto")
            settings.Host = tHostPreference::Auto;
        else if (lower == "window")
            settings.Host = tHostPreference::Window;
        else if (lower == "terminal")
            settings.Host = tHostPreference::Terminal;
        else
            problems.push_back(Refusal(kSystem, "Host", *host, "auto"));
    }
}

void ReadColours(const tIniFile& ini, tHostSettings& settings, std::vector<std::string>& problems) {
    for (int i = 0; i < 16; ++i) {
        std::string key = "Color" + std::to_string(i);
        std::optional<std::string> text = ini.Read(kSystem, key);
        if (!text)
            continue;
        std::optional<std::uint32_t> colour = ParseHex(*text);
        if (colour && *colour <= 0xFFFFFF) {
            settings.Palette[std::size_t(i)] = *colour;
        } else {
            char kept[9];
            std::snprintf(kept, sizeof kept, "%08X", unsigned(settings.Palette[std::size_t(i)]));
            problems.push_back(Refusal(kSystem, key, *text, kept));
        }
    }
}

void ReadPriority(const tIniFile& ini, tHostSettings& settings,
                  std::vector<std::string>& problems) {
    constexpr std::string_view section = "Система"_oem;
    constexpr std::string_view key = "Нить ввода-вывода"_oem;
    std::optional<std::string> text = ini.Read(section, key);
    if (!text)
        return;
    std::optional<std::int64_t> value = ParseInteger(*text);
    bool known = value && ((*value >= -2 && *value <= 2) || *value == 15 || *value == -15);
    if (known)
        settings.InputThreadPriority = std::int32_t(*value);
    else
        problems.push_back(
            Refusal(section, key, *text, std::to_string(settings.InputThreadPriority)));
}

} // namespace

std::string SettingsFileName() {
    return StartupFacts().SettingsFileName;
}

tHostSettings LoadHostSettings(std::string_view path, std::vector<std::string>& problems) {
    tHostSettings settings;
    tIniFile ini;
    if (!ini.Load(path)) {
        // No error may stay pending here: the run thread's application would inherit it.
        if (std::unique_ptr<ESException> error = TakeError())
            problems.push_back(error->Message());
        return settings;
    }
    ReadIntegers(ini, settings, problems);
    ReadTexts(ini, settings, problems);
    ReadColours(ini, settings, problems);
    ReadPriority(ini, settings, problems);
    return settings;
}

bool SaveHostSettings(std::string_view path, const tHostSettings& settings) {
    tIniFile ini;
    // A file that exists but cannot be read is left alone rather than replaced by our keys.
    if (!ini.Load(path))
        return false;
    for (const tIntegerKey& entry : kIntegerKeys)
        if (!IsScreenSize(entry) || settings.ScreenSizeFromFile)
            ini.Write(kSystem, entry.Key, std::to_string(settings.*entry.Field));
    if (IsGoodFontName(settings.FontName))
        ini.Write(kSystem, "FontName", settings.FontName);
    return ini.Save(path);
}

void ReportSettingsProblems(const std::vector<std::string>& problems) {
    for (const std::string& problem : problems) {
        std::string line = Cp866ToUtf8(problem) + "\n";
        std::fwrite(line.data(), 1, line.size(), stderr);
    }
    std::fflush(stderr);
}

} // namespace zarvo
