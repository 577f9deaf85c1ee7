// The dialogs demo's dialog: one of every control (an input line with its history, check
// boxes, radio buttons, a sorted list of 300 names with typed search, labels, a static text
// and the two buttons), the record it fills and that record written out readably.
#pragma once

#include <cstdint>
#include <string>

#include "library/collection_strings.h"
#include "views/group.h"

namespace zarvo::demo {

// The history id of the dialog's input line.
inline constexpr std::uint8_t kCityHistoryId = 1;
// The input line's room, in characters.
inline constexpr std::int16_t kCityLength = 40;

// The dialog's record, read out of the bytes the dialog exports (CP866 texts).
struct tDemoRecord {
    std::string City;
    std::uint16_t Mailing = 0;  // one bit per check box
    std::uint16_t Delivery = 0; // the marked radio button
    tStringCollection* Names = nullptr;
    std::int16_t Person = 0; // the focused name
};

// The dialog's data between runs: the last accepted record and the names it shows.
class tDemoDialogState {
  public:
    tDemoDialogState();
    ~tDemoDialogState();
    tDemoDialogState(const tDemoDialogState&) = delete;
    tDemoDialogState& operator=(const tDemoDialogState&) = delete;

    // Runs the dialog modally on OWNER with the last record; on "Принять" keeps the new one
    // and answers true.
    bool Run(tGroup& owner);

    tDemoRecord Record;

  private:
    tObjectPtr<tStringCollection> m_Names;
};

// The record in UTF-8, one field a line, the way the demo prints it.
std::string DescribeRecord(const tDemoRecord& record);

// Puts a few towns into the input line's history.
void SeedCityHistory();

} // namespace zarvo::demo
