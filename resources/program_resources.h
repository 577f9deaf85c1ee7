// The program's embedded resources, generated at build time by the resource tool. They
// register themselves when the program starts; tests call RegisterProgramResources, which
// also makes the linker keep them.
#pragma once

namespace zarvo {

// Adds every embedded resource to the resource table. Calling it again changes nothing.
void RegisterProgramResources();

} // namespace zarvo
