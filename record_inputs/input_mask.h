// The fixed masks of typed inputs: which characters each placeholder takes, and how a text
// is laid into a mask and read back out of it. Every mask character that is not a
// placeholder is a literal the cursor skips.
#pragma once

#include <string>
#include <string_view>

namespace zarvo {

// # 9 X A R L x F N
bool IsMaskPlaceholder(char c);
// The character PLACEHOLDER holds when CH is typed into it (L upper-cases, x lower-cases),
// or 0 when it refuses CH.
char MaskAccepts(char placeholder, char ch);

// The mask with TEXT's characters laid into its placeholders in order, blanks for missing
// ones. A text character equal to the literal at its place is taken as that literal, so a
// text already in the mask's form keeps its layout.
std::string FillMaskText(std::string_view mask, std::string_view text);
// The characters of TEXT that stand in placeholder positions of MASK.
std::string MaskPlaceholderText(std::string_view mask, std::string_view text);
// The mask with every placeholder blank.
std::string BlankMaskText(std::string_view mask);

// The first placeholder at or after FROM; the mask's length when there is none.
int NextPlaceholder(std::string_view mask, int from);
// The last placeholder before BEFORE, or -1.
int PreviousPlaceholder(std::string_view mask, int before);

} // namespace zarvo
