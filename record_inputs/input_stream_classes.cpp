// The typed inputs in the stream class registry.
#include "record_inputs/input_stream_classes.h"

#include <mutex>

#include "library/stream_class.h"
#include "record_inputs/choice_input.h"
#include "record_inputs/count_input.h"
#include "record_inputs/date_time_input.h"
#include "record_inputs/string_input.h"
#include "views/dialog.h"
#include "views/history.h"
#include "views/window.h"

namespace zarvo {

namespace {

template <class T> tStreamClass LoadedClass(std::string_view name) {
    return StreamClassOf<T>(name, []() -> tSObject* { return new T(kStreamLoad); });
}

} // namespace

void RegisterTypedInputStreamClasses() {
    static const tStreamClass kClasses[] = {
        LoadedClass<TInputWord>("TInputWord"),
        LoadedClass<TInputByte>("TInputByte"),
        LoadedClass<TInputString>("TInputString"),
        LoadedClass<TInputInteger>("TInputInteger"),
        LoadedClass<TInputShortInt>("TInputShortInt"),
        LoadedClass<TInputLongInt>("TInputLongInt"),
        LoadedClass<TInputReal>("TInputReal"),
        LoadedClass<TInputDouble>("TInputDouble"),
        LoadedClass<TInputExtended>("TInputExtended"),
        LoadedClass<TInputSingle>("TInputSingle"),
        LoadedClass<TInputComp>("TInputComp"),
        LoadedClass<TInputASCIIZ>("TInputASCIIZ"),
        LoadedClass<tInputTime>("tInputTime"),
        LoadedClass<TInputDate>("TInputDate"),
        LoadedClass<TInputCheckBox>("TInputCheckBox"),
        LoadedClass<TInputRadioButton>("TInputRadioButton"),
        LoadedClass<TInputBoolean>("TInputBoolean"),
    };
    RegisterLibraryStreamClasses();
    RegisterViewStreamClasses();
    RegisterWindowStreamClasses();
    RegisterDialogStreamClasses();
    RegisterInputStreamClasses();
    static std::once_flag once;
    std::call_once(once, [] {
        for (const tStreamClass& streamClass : kClasses)
            RegisterStreamClass(streamClass);
    });
}

} // namespace zarvo
