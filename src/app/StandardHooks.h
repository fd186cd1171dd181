// The hooks of the program's own parts, which live in layers below the application.
#pragma once

namespace hooks {

// Makes sure the hooks of the program's own parts are linked in.
void LinkStandardHooks();

} // namespace hooks
