// Command numbers of the text UI. Commands 0-255 can be disabled through the command set;
// higher numbers are always enabled. cmdQuit and cmdPendingEvent belong to the driver layer.
#pragma once

#include <cstdint>

namespace zarvo {

inline constexpr std::uint16_t cmdClose = 4;
inline constexpr std::uint16_t cmdZoom = 5;
inline constexpr std::uint16_t cmdResize = 6;
inline constexpr std::uint16_t cmdNext = 7;
inline constexpr std::uint16_t cmdPrev = 8;
inline constexpr std::uint16_t cmdHelp = 9;
inline constexpr std::uint16_t cmdOk = 10;
inline constexpr std::uint16_t cmdCancel = 11;
inline constexpr std::uint16_t cmdYes = 12;
inline constexpr std::uint16_t cmdNo = 13;
inline constexpr std::uint16_t cmdDefault = 14;
// Ends the current modal loop without asking Valid; the loop answers cmdCancel.
inline constexpr std::uint16_t cmdAbort = 15;

// Whether COMMAND is one of the answers that end a modal dialog: Ok, Cancel, Yes or No.
constexpr bool IsAnswer(std::uint16_t command) {
    return command == cmdOk || command == cmdCancel || command == cmdYes || command == cmdNo;
}

// Broadcasts (info as noted).
inline constexpr std::uint16_t cmdFocusGained = 50;     // info: the view
inline constexpr std::uint16_t cmdFocusLost = 51;       // info: the view; also a Valid query
inline constexpr std::uint16_t cmdCommandsChanged = 52; // the enabled command set changed
inline constexpr std::uint16_t cmdScrollChanged = 53;   // info: the scroll bar
inline constexpr std::uint16_t cmdScrollClicked = 54;   // info: the scroll bar
inline constexpr std::uint16_t cmdSelectWindowNum = 55; // info: the window number
inline constexpr std::uint16_t cmdItemPicked = 56;      // info: the list viewer
inline constexpr std::uint16_t cmdRecordHistory = 60;
inline constexpr std::uint16_t cmdGrabDefault = 61;
inline constexpr std::uint16_t cmdReleaseDefault = 62;

inline constexpr std::uint16_t cmdValidateField = 521;
// Broadcast by a calculator key; info: the button, whose title's first character is the key.
inline constexpr std::uint16_t cmdCalcButton = 540;
inline constexpr std::uint16_t cmdNextControl = 1156;
inline constexpr std::uint16_t cmdPrevControl = 1157;
inline constexpr std::uint16_t cmdFocusedText = 1158;          // info: a short string to fill
inline constexpr std::uint16_t cmdCollectWindowNumbers = 2161; // info: a byte array

} // namespace zarvo
