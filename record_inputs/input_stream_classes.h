// Registration of the typed inputs' streamable classes under their stream ids.
#pragma once

namespace zarvo {

// TInputWord (211), TInputByte (212), TInputString (213), TInputInteger (224),
// TInputShortInt (235), TInputLongInt (236), TInputReal (237), TInputDouble (238),
// TInputExtended (239), TInputSingle (240), TInputComp (241), tInputTime (242),
// TInputDate (243), TInputCheckBox (244), TInputRadioButton (245), TInputASCIIZ (246) and
// TInputBoolean (247); the views they build on too. Safe to call more than once.
void RegisterTypedInputStreamClasses();

} // namespace zarvo
