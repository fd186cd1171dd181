#include "app/StandardHooks.h"

#include "store/RecentPeeked.h"
#include "tree/ExpansionSettings.h"

namespace hooks {

void LinkStandardHooks() {
    expansion::LinkSettingsHook();
    recent::LinkNotesHook();
}

} // namespace hooks
