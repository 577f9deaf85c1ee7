// The program's application: the framework's application with an empty menu bar that leaves
// the clock its corner.
#pragma once

#include "views/application.h"
#include "views/menu_bar.h"

namespace zarvo {

class tUtlApp : public TApplication {
  public:
    TMenuBar* InitMenuBar() override;
};

} // namespace zarvo
