// RunCalculator and RunCalendar: a tool window loaded from its resource, filled with the
// field's value, run modally and freed; the value comes back on any ending but cmdCancel.
#include "views/calc_tools.h"

#include "library/resource_object.h"
#include "library/strings.h"
#include "library/validity.h"
#include "views/application.h"
#include "views/calc_display.h"
#include "views/calculator.h"
#include "views/calendar.h"

namespace zarvo {

namespace {

void ForgetFreedWindow(void* data, EventFrame&) {
    *static_cast<tWindow**>(data) = nullptr;
}

// The window the resource NAME holds, checked, or null (a damaged resource leaves its
// error pending).
template <class T> T* LoadToolWindow(std::string_view name) {
    tSObject* loaded = LoadResourceObject(name);
    if (!ValidateRef(loaded))
        return nullptr;
    auto* window = dynamic_cast<T*>(loaded);
    if (window == nullptr)
        FreeObject(loaded);
    return window;
}

// Runs WINDOW on HOST; READ takes the value back while the window still exists. The window
// is freed afterwards unless a handler freed it during the run.
template <class T, class Read> std::uint16_t RunToolWindow(T* window, tGroup* host, Read read) {
    tWindow* watched = window;
    EventHandler watch(&ForgetFreedWindow, static_cast<void*>(&watched));
    window->Subscribe(evnObjectFree, watch);
    std::uint16_t result = host->RunView(window);
    if (watched == nullptr)
        return result;
    if (result != cmdCancel)
        read(*window);
    window->Unsubscribe(evnObjectFree, watch);
    FreeObject(window);
    return result;
}

tGroup* HostOrApplication(tGroup* host) {
    return host != nullptr ? host : gApplication;
}

} // namespace

std::uint16_t RunCalculator(std::string& text, tGroup* host) {
    host = HostOrApplication(host);
    if (host == nullptr)
        return 0;
    auto* calculator = LoadToolWindow<TCalculator>("CALCULATOR");
    TCalcDisplay* display = calculator != nullptr ? calculator->Display() : nullptr;
    if (display == nullptr) {
        FreeObject(calculator);
        return 0;
    }
    std::string_view number = TrimBlanks(text);
    long double value = 0;
    // An empty field starts from 0.
    if (number.empty() || ParseCalcNumber(number, value))
        display->CalcShow(value);
    else
        display->CalcError();
    // An error shown is no number: the field keeps what it held.
    return RunToolWindow(calculator, host, [&](TCalculator& window) {
        if (TCalcDisplay* shown = window.Display(); shown && shown->State != CalcState::Error)
            text = shown->DisplayText();
    });
}

std::uint16_t RunCalendar(std::uint16_t& day, tGroup* host) {
    host = HostOrApplication(host);
    if (host == nullptr)
        return 0;
    auto* calendar = LoadToolWindow<TCalendarWindow>("CALENDAR");
    TCalendarView* view = calendar != nullptr ? calendar->CalendarView() : nullptr;
    if (view == nullptr) {
        FreeObject(calendar);
        return 0;
    }
    view->SetDate(day == 0 ? -1 : day);
    return RunToolWindow(calendar, host, [&](TCalendarWindow& window) {
        if (TCalendarView* shown = window.CalendarView())
            day = shown->Date();
    });
}

} // namespace zarvo
