// The program's application.
#include "app/util_app.h"

namespace zarvo {

// The program has no menus: the framework's empty bar over the top row, left of the clock,
// is all it needs.
TMenuBar* tUtlApp::InitMenuBar() {
    return TApplication::InitMenuBar();
}

} // namespace zarvo
